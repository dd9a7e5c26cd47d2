# Read by cpack as it starts: the package's files carry the time of the
# source (cmake/SourceDateEpoch.cmake), which CPack takes from
# SOURCE_DATE_EPOCH, and not the time of packaging.
include(${CPACK_PLANINI_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
planini_source_date_epoch(epoch ${CPACK_PLANINI_SOURCE_DIR})
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
