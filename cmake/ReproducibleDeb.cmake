# Run by cpack after packing: CPack gives the members of the .deb's outer ar
# archive the file modes of its scratch files, which follow the umask. ar's
# deterministic mode writes them again with mode 644, owner 0 and time 0.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  set(scratch "${package}.members")
  file(REMOVE_RECURSE "${scratch}")
  file(MAKE_DIRECTORY "${scratch}")
  execute_process(COMMAND "${CPACK_DUNMARK_AR}" t "${package}"
    OUTPUT_VARIABLE members OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REPLACE "\n" ";" members "${members}")
  execute_process(COMMAND "${CPACK_DUNMARK_AR}" x "${package}"
    WORKING_DIRECTORY "${scratch}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${package}")
  execute_process(COMMAND "${CPACK_DUNMARK_AR}" rcD "${package}" ${members}
    WORKING_DIRECTORY "${scratch}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${scratch}")
endforeach()
