# Fails when a source file of the numerical core includes a Qt header.
file(GLOB_RECURSE core_sources
     ${SOURCE_DIR}/base/*.h ${SOURCE_DIR}/base/*.cpp
     ${SOURCE_DIR}/methods/*.h ${SOURCE_DIR}/methods/*.cpp
     ${SOURCE_DIR}/symbolic/*.h ${SOURCE_DIR}/symbolic/*.cpp
     ${SOURCE_DIR}/run/*.h ${SOURCE_DIR}/run/*.cpp
     ${SOURCE_DIR}/numerics/*.h ${SOURCE_DIR}/numerics/*.cpp
     ${SOURCE_DIR}/problem/*.h ${SOURCE_DIR}/problem/*.cpp
     ${SOURCE_DIR}/studies/*.h ${SOURCE_DIR}/studies/*.cpp
     ${SOURCE_DIR}/texts/*.h ${SOURCE_DIR}/texts/*.cpp)
foreach(source IN LISTS core_sources)
  file(STRINGS ${source} qt_includes REGEX "#[ \t]*include[ \t]*[<\"](Q|qt)")
  if(qt_includes)
    message(FATAL_ERROR "${source} includes Qt: ${qt_includes}")
  endif()
endforeach()
list(LENGTH core_sources count)
message(STATUS "${count} core sources checked, none includes Qt")
