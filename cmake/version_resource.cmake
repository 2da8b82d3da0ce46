# picture_version_resource(TARGET DESCRIPTION): gives a Windows program its
# version resource (product name, description, file and product version), made
# from the project's version and compiled by windres.
function(picture_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(name ${target})
  set(rc ${PROJECT_BINARY_DIR}/version/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
