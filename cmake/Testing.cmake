include(GoogleTest)

# pathscope_test(NAME SOURCES ... LIBS ... [RESOURCE_LOCK lock...] [PREFIX text]
#                [PROPERTIES ...]): one GoogleTest program; each test case becomes one CTest
# test, listed when CTest runs (under Wine for the Windows flavour). RESOURCE_LOCK names
# the system places every test case holds while it runs, as many as it needs. PREFIX goes
# before the case names, for a program that runs cases another program runs too.
# PROPERTIES are added to every test case's properties (e.g. a fixture).
function(pathscope_test name)
  cmake_parse_arguments(T "" "PREFIX" "SOURCES;LIBS;PROPERTIES;RESOURCE_LOCK" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  pathscope_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock pathscope_test_support)
  pathscope_windows_resources(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120 TEST_LIST ${name}_cases
                       TEST_PREFIX "${T_PREFIX}" PROPERTIES TIMEOUT 300 LABELS ${name} ${T_PROPERTIES})
  if(T_RESOURCE_LOCK)
    # gtest_discover_tests flattens property values, so a list of locks would arrive as
    # stray words; the locks are set on the listed cases once CTest has read them.
    set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_locks.cmake")
    file(WRITE "${script}"
         "if(${name}_cases)\n"
         "  set_tests_properties(\${${name}_cases} PROPERTIES RESOURCE_LOCK \"${T_RESOURCE_LOCK}\")\n"
         "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
  endif()
endfunction()
