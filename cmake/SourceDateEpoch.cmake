# The time every timestamp of the build stands at: SOURCE_DATE_EPOCH from the
# environment when it is set, else the time of the last commit, read from git
# in a clone or from commit-time.txt, which `git archive` fills in.
# Included by the project at configure time and by CPack at packing time.
function(dunmark_source_date_epoch out sourceDir)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "" AND EXISTS "${sourceDir}/.git")
    find_program(DUNMARK_GIT git)
    if(DUNMARK_GIT)
      execute_process(COMMAND "${DUNMARK_GIT}" log -1 --format=%ct
        WORKING_DIRECTORY "${sourceDir}"
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    endif()
  endif()
  if(epoch STREQUAL "" AND EXISTS "${sourceDir}/cmake/commit-time.txt")
    file(STRINGS "${sourceDir}/cmake/commit-time.txt" epoch LIMIT_COUNT 1)
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    set(epoch "")
  endif()
  set(${out} "${epoch}" PARENT_SCOPE)
endfunction()
