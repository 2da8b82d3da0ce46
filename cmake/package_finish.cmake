# Run by CPack once the packages are made:
# - takes the maintainer scripts (ldconfig calls) out of the shared library's
#   Debian package, whose ldconfig trigger does their work;
# - names a Windows archive's top folder after the archive, as CPack names
#   every component archive's folder after the package.
foreach(file IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${file} NAME)
  set(tree ${file}.tree)
  file(REMOVE_RECURSE ${tree})
  if(name MATCHES "^libpicture-display[0-9]+_.*\\.deb$")
    execute_process(COMMAND dpkg-deb -R ${file} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
    execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${file} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  elseif(name MATCHES "^(.*)\\.zip$")
    set(top ${CMAKE_MATCH_1})
    file(ARCHIVE_EXTRACT INPUT ${file} DESTINATION ${tree})
    file(GLOB folder LIST_DIRECTORIES true ${tree}/*)
    get_filename_component(folder_name "${folder}" NAME)
    if(NOT folder_name STREQUAL top)
      file(RENAME ${folder} ${tree}/${top})
      file(REMOVE ${file})
      execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${file} --format=zip ${top} WORKING_DIRECTORY ${tree}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
