# The web page's screen (built with Emscripten): our JavaScript, the start-up
# that reports the program's end, and the page around the canvas. The program
# yields to the browser while it sleeps, waits for a frame or for an answer
# (Asyncify). The variables are those of sdl/screen.cmake.
set(here ${CMAKE_CURRENT_LIST_DIR})
set(screen_sources ${here}/screen_web.cpp ${here}/../screen_support.cpp)
set(screen_includes "")
set(screen_libraries "")
set(screen_link_options
    -sASYNCIFY "-sASYNCIFY_IMPORTS=[screen_web_wait_for_frame,screen_web_wait_until_drawn,screen_web_ask]" -sALLOW_MEMORY_GROWTH
    "SHELL:--js-library ${here}/screen_web.js" "SHELL:--pre-js ${here}/screen_web_start.js"
    "SHELL:--shell-file ${here}/screen_web.html")
set(screen_link_depends ${here}/screen_web.js ${here}/screen_web_start.js ${here}/screen_web.html)
set(screen_pc_requires "")
set(screen_find_dependencies "")
set(screen_deb_depends "")
set(screen_deb_runtime_depends "")
