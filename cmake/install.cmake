# `cmake --install` puts, by component:
#   programs     picture and sketch with README and LICENSE (and their manual pages);
#   runtime      the shared library (libpicture-display.so.1, or picture-display.dll);
#   development  the shared library's link (.so, or the DLL's import library), the
#                static libraries, the public headers, the presenter's manual page,
#                a CMake package (find_package(PictureDisplay): PictureDisplay::display,
#                the shared library, or PictureDisplay::display_static) and two
#                pkg-config files (picture-display, shared; picture-display-static).
# On Windows the DLL, its import library and the presenter's headers are the
# component "sdk" instead, the developer archive's contents.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(headers ${CMAKE_INSTALL_INCLUDEDIR}/picture-display)
set(package ${CMAKE_INSTALL_LIBDIR}/cmake/PictureDisplay)
# A Windows program's folder holds its programs and documents side by side.
if(WIN32)
  set(programs .)
  set(documents .)
  set(runtime sdk)
  set(linking sdk)
else()
  set(programs ${CMAKE_INSTALL_BINDIR})
  set(documents ${CMAKE_INSTALL_DOCDIR})
  set(runtime runtime)
  set(linking development)
endif()

install(TARGETS picture sketch RUNTIME DESTINATION ${programs} COMPONENT programs)
install(FILES README.md LICENSE DESTINATION ${documents} COMPONENT programs)

# The shared library; a library is not a program, so it is not executable.
install(TARGETS display_shared EXPORT PictureDisplayTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${runtime}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${runtime} NAMELINK_COMPONENT development
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${linking})

# The static libraries, named apart from the shared one so that a link chooses
# between them by name: -lpicture-display is the shared library.
set_target_properties(display_on_platform PROPERTIES EXPORT_NAME display_static)
set_target_properties(display PROPERTIES EXPORT_NAME presenter OUTPUT_NAME picture-display-static)
set_target_properties(convert PROPERTIES OUTPUT_NAME picture-display-convert)
set(installed convert display display_on_platform)
if(NOT WIN32)
  set_target_properties(platform_screen PROPERTIES EXPORT_NAME platform OUTPUT_NAME picture-display-platform)
  list(APPEND installed platform_screen)
endif()
install(TARGETS ${installed} EXPORT PictureDisplayTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        COMPONENT development)

install(FILES src/display/display.h DESTINATION ${headers}/display COMPONENT ${linking})
install(FILES src/convert/convert.h src/convert/pixel.h DESTINATION ${headers}/convert COMPONENT ${linking})
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

# The pkg-config files find the prefix from their own place, so the installed
# tree may be moved. picture-display links the shared library; with
# picture-display-static, the static libraries (the presenter before the
# libraries it calls, then the C++ run-time a C program's link lacks).
set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH pc_to_prefix /prefix/${pc_dir} /prefix)
if(WIN32)
  set(pc_requires "")
  set(pc_libs "-luser32 -lkernel32")
else()
  set(pc_requires "${screen_pc_requires}")
  # "ddraw.dll" is found in the archive only when asked for by name.
  set(pc_libs "-lpicture-display-platform -Wl,--undefined=DirectDrawCreate")
endif()
foreach(pc picture-display picture-display-static)
  configure_file(cmake/${pc}.pc.in ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc DESTINATION ${pc_dir} COMPONENT development)
endforeach()

# Off Windows: the manual pages, and each Debian package's copyright and
# changelog, compressed as Debian keeps them.
if(NOT WIN32)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/gz)
  file(MAKE_DIRECTORY ${gz})
  foreach(source docs/man/picture.1 docs/man/sketch.1 docs/man/picture-display.3 cmake/debian/changelog)
    get_filename_component(name ${source} NAME)
    execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/${source} OUTPUT_FILE ${gz}/${name}.gz COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
  endforeach()
  install(FILES ${gz}/picture.1.gz ${gz}/sketch.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
  install(FILES ${gz}/picture-display.3.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man3 COMPONENT development)
  foreach(component_package programs:picture runtime:libpicture-display1 development:libpicture-display-dev)
    string(REPLACE ":" ";" pair ${component_package})
    list(GET pair 0 component)
    list(GET pair 1 deb)
    install(FILES cmake/debian/copyright ${gz}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${deb}
            COMPONENT ${component})
  endforeach()
endif()
