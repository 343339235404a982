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
