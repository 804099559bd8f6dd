# Runs in CPack's staging folder before the .deb is made: Debian wants the man
# page and the changelog gzipped (without a time stamp, so builds repeat).
file(GLOB_RECURSE candidates ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man1/*.1
     ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/quorvel/changelog)
foreach(file ${candidates})
  execute_process(COMMAND gzip -9nf ${file} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${file} failed")
  endif()
endforeach()
