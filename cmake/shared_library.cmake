# The shared library: the presenter and the converters (with, off Windows, the
# emulation and its SDL2 screen) in libpicture-display.so.1 or
# picture-display.dll, exporting exactly the names in src/exports.txt. From that
# one list come the linker's version script (the names at version
# PICTURE_DISPLAY_1, everything else local) and the Windows .def file.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/exports.txt exported REGEX "^[a-z_0-9]+$")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/exports.txt)
list(JOIN exported ";\n    " version_names)
list(JOIN exported "\n  " def_names)
set(version_script ${PROJECT_BINARY_DIR}/picture-display.map)
set(def_file ${PROJECT_BINARY_DIR}/picture-display.def)
file(CONFIGURE OUTPUT ${version_script} CONTENT
     "PICTURE_DISPLAY_1 {\n  global:\n    ${version_names};\n  local:\n    *;\n};\n")
file(CONFIGURE OUTPUT ${def_file} CONTENT "LIBRARY picture-display.dll\nEXPORTS\n  ${def_names}\n")

set(shared_objects $<TARGET_OBJECTS:display> $<TARGET_OBJECTS:convert>)
if(WIN32)
  add_library(display_shared SHARED ${shared_objects} ${def_file})
  target_link_libraries(display_shared PRIVATE user32 kernel32)
  # picture-display.dll with its import library libpicture-display.dll.a.
  set_target_properties(display_shared PROPERTIES PREFIX "" IMPORT_PREFIX lib)
else()
  add_library(display_shared SHARED ${shared_objects} $<TARGET_OBJECTS:platform_emu> ${screen_sources})
  target_include_directories(display_shared PRIVATE ${screen_includes})
  target_link_libraries(display_shared PRIVATE ${screen_libraries})
  target_include_directories(display_shared PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_options(display_shared PRIVATE -Wl,--version-script=${version_script} -Wl,--no-undefined)
  set_target_properties(display_shared PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
                                                  LINK_DEPENDS ${version_script})
endif()
set_target_properties(display_shared PROPERTIES OUTPUT_NAME picture-display EXPORT_NAME display)
target_include_directories(display_shared PUBLIC ${picture_includes})
