# The library folders in layer order, bottom first (the layer table of the
# house conventions). A library may link only those listed before it; src/
# and tests/ both walk this list and skip folders that do not exist yet.
set(ORREL_LIBRARY_FOLDERS
  platform
  numeric
  graph/dependency
  datafiles
  expression
  drawing
  mathtext
  document/parameters
  table
  axes/ticks
  graph/commandbase
  axes
  graph
  commands
  drawing/writers
  document
  cli
  app
)

# Adds every listed folder below the current source folder that has a
# CMakeLists.txt.
function(orrel_add_folders)
  foreach(folder IN LISTS ARGN)
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/CMakeLists.txt)
      add_subdirectory(${folder})
    endif()
  endforeach()
endfunction()

# Adds every immediate subfolder that has a CMakeLists.txt (benchmarks and
# fuzzers keep one folder per library).
function(orrel_add_all_subfolders)
  file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
  orrel_add_folders(${children})
endfunction()

# orrel_library(<name> SOURCES ... LINKS ...)
# One library of the layer table: a static library whose headers are included
# from the src root ("platform/PropertyList.h") and which links exactly the
# libraries it builds on.
function(orrel_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# orrel_test(<label> SOURCES ... LINKS ...)
# One test program per library folder; every test it holds carries the label
# (the library name without "orrel_"), so "ctest -L <label>" runs exactly them.
function(orrel_test label)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  set(target test_${label})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LINKS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE
    ORREL_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    ORREL_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS ${label})
endfunction()
