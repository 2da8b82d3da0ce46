# `cmake --install` puts, as the component "programs", picture and sketch with
# README and LICENSE; and as "development" the presenter, the converters and
# (off Windows) the platform emulation with its SDL2 screen, their public
# headers, a CMake package (find_package(PictureDisplay), then link
# PictureDisplay::display) and a pkg-config file (picture-display).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(headers ${CMAKE_INSTALL_INCLUDEDIR}/picture-display)
set(package ${CMAKE_INSTALL_LIBDIR}/cmake/PictureDisplay)
# A Windows program's folder holds its programs and documents side by side.
if(WIN32)
  set(programs .)
  set(documents .)
else()
  set(programs ${CMAKE_INSTALL_BINDIR})
  set(documents ${CMAKE_INSTALL_DOCDIR})
endif()

install(TARGETS picture sketch RUNTIME DESTINATION ${programs} COMPONENT programs)
install(FILES README.md LICENSE DESTINATION ${documents} COMPONENT programs)

set_target_properties(display_on_platform PROPERTIES EXPORT_NAME display)
set_target_properties(display PROPERTIES EXPORT_NAME presenter OUTPUT_NAME picture-display)
set_target_properties(convert PROPERTIES OUTPUT_NAME picture-display-convert)
set(installed convert display display_on_platform)
if(NOT WIN32)
  set_target_properties(platform_sdl PROPERTIES EXPORT_NAME platform OUTPUT_NAME picture-display-platform)
  list(APPEND installed platform_sdl)
endif()
install(TARGETS ${installed} EXPORT PictureDisplayTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        COMPONENT development)

install(FILES src/display/display.h DESTINATION ${headers}/display COMPONENT development)
install(FILES src/convert/convert.h src/convert/pixel.h DESTINATION ${headers}/convert COMPONENT development)
install(FILES src/platform/platform.h DESTINATION ${headers}/platform COMPONENT development)
# Off Windows, platform.h brings in the emulation's declarations of the API:
# each library's, and the plain types and constants they share.
if(NOT WIN32)
  foreach(api common/windows_types.h common/ddraw_types.h kernel32/kernel32.h user32/user32.h ddraw/ddraw.h)
    get_filename_component(folder ${api} DIRECTORY)
    install(FILES src/platform/emu/${api} DESTINATION ${headers}/platform/emu/${folder} COMPONENT development)
  endforeach()
endif()

install(EXPORT PictureDisplayTargets NAMESPACE PictureDisplay:: DESTINATION ${package} COMPONENT development)
configure_package_config_file(cmake/PictureDisplayConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfig.cmake
                              INSTALL_DESTINATION ${package})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfigVersion.cmake DESTINATION ${package}
        COMPONENT development)

# The pkg-config file finds the prefix from its own place, so the installed
# tree may be moved. The presenter comes before the libraries it calls.
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pc_to_prefix /prefix/${pc_dir} /prefix)
if(WIN32)
  set(pc_requires "")
  set(pc_libs "-luser32 -lkernel32")
else()
  set(pc_requires sdl2)
  # "ddraw.dll" is found in the archive only when asked for by name.
  set(pc_libs "-lpicture-display-platform -Wl,--undefined=DirectDrawCreate")
endif()
configure_file(cmake/picture-display.pc.in ${CMAKE_CURRENT_BINARY_DIR}/picture-display.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/picture-display.pc DESTINATION ${pc_dir} COMPONENT development)
