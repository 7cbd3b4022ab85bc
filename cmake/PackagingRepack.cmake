# Run by cpack after each generator. CPack's .tar.gz lists the files in the order the file
# system hands them out, which differs between machines; the tree is packed again in name
# order, with one time (SOURCE_DATE_EPOCH, the commit's by default: see
# PackagingPerGenerator.cmake) and owner for every member, so that the same commit gives the
# same bytes anywhere.
if(NOT CPACK_GENERATOR STREQUAL "TGZ")
  return()
endif()
get_filename_component(stage_parent "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY)
get_filename_component(top "${CPACK_TEMPORARY_DIRECTORY}" NAME)
foreach(archive IN LISTS CPACK_PACKAGE_FILES)
  execute_process(
    COMMAND tar --sort=name --format=gnu --owner=0 --group=0 --numeric-owner --mode=u+rw,go=rX
                "--mtime=@$ENV{SOURCE_DATE_EPOCH}" -C "${stage_parent}" -cf - "${top}"
    COMMAND gzip -9n
    OUTPUT_FILE "${archive}.new"
    RESULT_VARIABLE status COMMAND_ERROR_IS_FATAL ANY)
  file(RENAME "${archive}.new" "${archive}")
endforeach()
