# The release packages, made by CPack (scripts/package makes them all). Off
# Windows, three Debian packages, as Debian makes library packages:
#   libpicture-display1      the shared library, with its shlibs file and ldconfig trigger;
#   libpicture-display-dev   headers, static libraries, the .so link, CMake package, pkg-config files;
#   picture                  the programs with README, LICENSE and their manual pages.
# For Windows two archives: picture-<version>-win64.zip (or -win32) with the
# programs, README and LICENSE alone, and picture-display-<version>-win64-dev.zip
# with the DLL, its import library and the presenter's headers.
set(CPACK_PACKAGE_NAME picture)
set(CPACK_PACKAGE_VENDOR "The picture authors")
set(CPACK_PACKAGE_CONTACT "The picture authors <maintainers@users.noreply.c-seed-2a068624.example>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(bits 64)
  else()
    set(bits 32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL programs sdk)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_ARCHIVE_PROGRAMS_FILE_NAME picture-${PROJECT_VERSION}-win${bits})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shows a picture through a small frame-buffer display presenter")
  set(CPACK_ARCHIVE_SDK_FILE_NAME picture-display-${PROJECT_VERSION}-win${bits}-dev)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL programs runtime development)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The shared library's shlibs file, and the ldconfig trigger. CPack adds
  # maintainer scripts that call ldconfig, which the trigger replaces: they are
  # taken out once the packages are made (cmake/package_finish.cmake).
  set(deb ${PROJECT_BINARY_DIR}/deb)
  file(CONFIGURE OUTPUT ${deb}/shlibs
       CONTENT "libpicture-display ${PROJECT_VERSION_MAJOR} libpicture-display1 (>= ${PROJECT_VERSION})\n")
  file(CONFIGURE OUTPUT ${deb}/triggers CONTENT "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${deb}/shlibs ${deb}/triggers)

  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

  set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libpicture-display1)
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
  # What the screen loads at run time, which no link names.
  set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "${screen_deb_runtime_depends}")
  set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "small frame-buffer display presenter (shared library)
The display presenter opens a display full screen (32, 24 or 16 bits per
pixel, page flipping) or in a centred window, converts 32-bit frames row by
row into the screen's pixel format and shows them, and reports the mouse,
its buttons and the keyboard. It has a C interface, which programs in C and
in other languages' foreign-function interfaces call.
.
This package holds the shared library, libpicture-display.so.1.")

  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libpicture-display-dev)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libpicture-display1 (= ${PROJECT_VERSION})${screen_deb_depends}")
  set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "pkg-config | cmake")
  set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "small frame-buffer display presenter (development files)
The display presenter opens a display full screen or in a window, converts
32-bit frames into the screen's pixel format and shows them, and reports
the mouse, its buttons and the keyboard.
.
This package holds the C headers, the static libraries, the link to the
shared library, the CMake package (PictureDisplay), the pkg-config files
(picture-display and picture-display-static) and the manual page.")

  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME picture)
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "${screen_deb_runtime_depends}")  # the programs carry the screen too
  # Each description's first line is its package's synopsis.
  set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "shows a picture through a small frame-buffer display presenter
picture shows a 400 x 300 picture on a 640 x 480 display, full screen or
in a window, until Escape. sketch draws with the mouse. Both are built on
the display presenter, whose library is in libpicture-display1.")
endif()
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/package_finish.cmake)
include(CPack)
