include(GoogleTest)

# pathscope_test(NAME SOURCES ... LIBS ... [PROPERTIES ...]): one GoogleTest program; each
# test case becomes one CTest test, listed when CTest runs (under Wine for the Windows
# flavour). PROPERTIES are added to every test case's properties (e.g. a fixture).
function(pathscope_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  pathscope_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock pathscope_test_support)
  pathscope_windows_resources(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES TIMEOUT 300 LABELS ${name} ${T_PROPERTIES})
endfunction()
