# The headless screen: nothing shown, every frame kept for reading back (the
# tests' screen, which they link whatever the programs are built with). The
# variables are those of sdl/screen.cmake.
set(here ${CMAKE_CURRENT_LIST_DIR})
set(screen_sources ${here}/screen_headless.cpp ${here}/../screen_support.cpp ${here}/../screen_pause_posix.cpp)
set(screen_includes "")
set(screen_libraries "")
set(screen_link_options "")
set(screen_link_depends "")
set(screen_pc_requires "")
set(screen_find_dependencies "")
set(screen_deb_depends "")
set(screen_deb_runtime_depends "")
