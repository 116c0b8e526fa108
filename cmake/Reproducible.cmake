# Reproducible builds: the same commit gives the same bytes whatever folder it
# is built in, whenever, and under any umask, time zone or locale.
# - No absolute source or build path in the objects (debug information,
#   __FILE__): the source folder becomes "." and the build folder "build".
#   GCC tries the last map first, so a build folder inside the source folder
#   still maps to "build".
# - Folders that installation creates get 755 whatever the umask.
# - CPack takes its timestamps from SOURCE_DATE_EPOCH (ReproducibleCPack.cmake).
include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)

add_compile_options(
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
  -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/ReproducibleCPack.cmake)
dunmark_source_date_epoch(DUNMARK_SOURCE_DATE_EPOCH "${CMAKE_SOURCE_DIR}")
if(DUNMARK_SOURCE_DATE_EPOCH STREQUAL "")
  message(WARNING "No SOURCE_DATE_EPOCH and no commit time: the package will carry today's date")
endif()
