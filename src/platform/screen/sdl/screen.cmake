# The desktop screen: a window or full screen, on X11 our own (Xlib and its
# shared memory, loaded at run time), elsewhere (Wayland) SDL2's, which it
# loads at run time too and only then. What a screen's file sets:
#   screen_sources            its sources
#   screen_includes           the folders its sources include from
#   screen_libraries          what it links, as targets found here
#   screen_link_options       the programs' link options it needs
#   screen_link_depends       files the programs' link reads
#   screen_pc_requires        pkg-config's Requires for the installed static libraries
#   screen_find_dependencies  the CMake package's lookup of screen_libraries
#   screen_deb_depends        the Debian development package's dependency
#   screen_deb_runtime_depends  the Debian packages' dependency on what it loads at run time
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED sdl2)  # its headers: the library itself is loaded at run time
set(here ${CMAKE_CURRENT_LIST_DIR})
set(screen_sources ${here}/sdl_api.cpp ${here}/native.cpp ${here}/window.cpp ${here}/events.cpp ${here}/x11.cpp ${here}/x11_shm.cpp ${here}/show.cpp
                   ${here}/../screen_support.cpp ${here}/../screen_pause_posix.cpp)
set(screen_includes ${SDL2_INCLUDE_DIRS})
set(screen_libraries ${CMAKE_DL_LIBS})
set(screen_link_options "")
set(screen_link_depends "")
set(screen_pc_requires "")
set(screen_find_dependencies "")
set(screen_deb_depends "")
set(screen_deb_runtime_depends "libsdl2-2.0-0")
