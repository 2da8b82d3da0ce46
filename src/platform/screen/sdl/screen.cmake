# The SDL2 screen: a desktop's window or full screen, on X11 (with our own
# shared-memory path) or Wayland. What a screen's file sets:
#   screen_sources            its sources
#   screen_libraries          what it links, as targets found here
#   screen_link_options       the programs' link options it needs
#   screen_link_depends       files the programs' link reads
#   screen_pc_requires        pkg-config's Requires for the installed static libraries
#   screen_find_dependencies  the CMake package's lookup of screen_libraries
#   screen_deb_depends        the Debian development package's dependency
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
set(here ${CMAKE_CURRENT_LIST_DIR})
set(screen_sources ${here}/window.cpp ${here}/events.cpp ${here}/x11.cpp ${here}/x11_shm.cpp ${here}/show.cpp
                   ${here}/../screen_support.cpp ${here}/../screen_pause_posix.cpp)
set(screen_libraries PkgConfig::SDL2)
set(screen_link_options "")
set(screen_link_depends "")
set(screen_pc_requires sdl2)
set(screen_find_dependencies "find_dependency(PkgConfig)\npkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)")
set(screen_deb_depends ", libsdl2-dev")
