# Run by cpack before it packs: CPack stamps the archives' members and the
# gzip headers with SOURCE_DATE_EPOCH instead of the current time when it is
# set, so it is set here from the commit if the caller did not set it.
include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)
get_filename_component(dunmarkSourceDir "${CMAKE_CURRENT_LIST_DIR}" DIRECTORY)
dunmark_source_date_epoch(dunmarkEpoch "${dunmarkSourceDir}")
if(NOT dunmarkEpoch STREQUAL "")
  set(ENV{SOURCE_DATE_EPOCH} "${dunmarkEpoch}")
endif()
