# `cmake --install` puts the presenter, the converters and (off Windows) the
# platform emulation with its SDL2 screen, with their public headers, where
# another CMake project finds them: find_package(PictureDisplay), then link
# PictureDisplay::display.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(headers ${CMAKE_INSTALL_INCLUDEDIR}/picture-display)
set(package ${CMAKE_INSTALL_LIBDIR}/cmake/PictureDisplay)

set_target_properties(display_on_platform PROPERTIES EXPORT_NAME display)
set_target_properties(display PROPERTIES EXPORT_NAME presenter OUTPUT_NAME picture-display)
set_target_properties(convert PROPERTIES OUTPUT_NAME picture-display-convert)
set(installed convert display display_on_platform)
if(NOT WIN32)
  set_target_properties(platform_sdl PROPERTIES EXPORT_NAME platform OUTPUT_NAME picture-display-platform)
  list(APPEND installed platform_sdl)
endif()
install(TARGETS ${installed} EXPORT PictureDisplayTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

install(FILES src/display/display.h DESTINATION ${headers}/display)
install(FILES src/convert/convert.h src/convert/pixel.h DESTINATION ${headers}/convert)
install(FILES src/platform/platform.h DESTINATION ${headers}/platform)
if(NOT WIN32)
  install(FILES src/platform/emu/emu_windows.h src/platform/emu/emu_ddraw.h DESTINATION ${headers}/platform/emu)
endif()

install(EXPORT PictureDisplayTargets NAMESPACE PictureDisplay:: DESTINATION ${package})
configure_package_config_file(cmake/PictureDisplayConfig.cmake.in ${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfig.cmake
                              INSTALL_DESTINATION ${package})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/PictureDisplayConfigVersion.cmake DESTINATION ${package})
