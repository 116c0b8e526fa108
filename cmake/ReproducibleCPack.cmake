# Run by cpack before it packs, after the project's CPack settings.
# - CPack stamps the archives' members and the gzip headers with
#   SOURCE_DATE_EPOCH instead of the current time when it is set, so it is set
#   here from the commit if the caller did not set it.
# - Staged folders get 755 after every other staging script has run, and the
#   .deb is rewritten with fixed member modes (ReproducibleStage.cmake,
#   ReproducibleDeb.cmake). Appended here, so the project's own lists of
#   staging scripts stay as they are set.
include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)
get_filename_component(dunmarkSourceDir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
dunmark_source_date_epoch(dunmarkEpoch "${dunmarkSourceDir}")
if(NOT dunmarkEpoch STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${dunmarkEpoch}")
endif()
list(APPEND CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproducibleStage.cmake)
list(APPEND CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ReproducibleDeb.cmake)
