# The release packages, made by CPack (scripts/package makes all three):
# off Windows a Debian package, picture_<version>_amd64.deb, with everything
# installed and its dependencies found by dpkg-shlibdeps; for Windows an
# archive, picture-<version>-win64.zip or -win32.zip, with the programs, README
# and LICENSE alone.
set(CPACK_PACKAGE_NAME picture)
set(CPACK_PACKAGE_VENDOR "The picture authors")
set(CPACK_PACKAGE_CONTACT "The picture authors <maintainers@users.noreply.c-seed-2a068624.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "shows a picture through a small frame-buffer display presenter")
set(CPACK_PACKAGE_DESCRIPTION
    "picture shows a 400 x 300 picture on a 640 x 480 display, full screen or in
a window, until Escape. sketch draws with the mouse. Both use the display presenter, whose library,
headers, CMake package (PictureDisplay) and pkg-config file (picture-display)
come with them.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_ALL programs)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # What building against the presenter needs beyond the package.
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "g++, libsdl2-dev, pkg-config | cmake")
endif()
include(CPack)
