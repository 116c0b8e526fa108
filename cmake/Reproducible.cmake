# Reproducible builds: the same commit gives the same bytes whatever folder it
# is built in, whenever, and under any umask, time zone or locale.
# - No absolute source or build path in the objects (debug information,
#   __FILE__): the source folder becomes "." and the build folder "build".
#   GCC tries the last map first, so a build folder inside the source folder
#   still maps to "build".
# - CPack takes its timestamps from SOURCE_DATE_EPOCH (ReproducibleCPack.cmake),
#   gives every staged folder 755 (ReproducibleStage.cmake) and writes the
#   .deb's outer archive with fixed modes (ReproducibleDeb.cmake): neither
#   may follow the umask of whoever runs cpack.
include(${CMAKE_CURRENT_LIST_DIR}/SourceDateEpoch.cmake)

add_compile_options(
  -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
  -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)

set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/ReproducibleCPack.cmake)
set(CPACK_DUNMARK_AR ${CMAKE_AR})
dunmark_source_date_epoch(DUNMARK_SOURCE_DATE_EPOCH "${CMAKE_SOURCE_DIR}")
if(DUNMARK_SOURCE_DATE_EPOCH STREQUAL "")
  message(WARNING "No SOURCE_DATE_EPOCH and no commit time: the package will carry today's date")
else()
  message(STATUS "Package timestamps: ${DUNMARK_SOURCE_DATE_EPOCH} (SOURCE_DATE_EPOCH)")
endif()
