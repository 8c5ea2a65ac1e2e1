# quillory_add_test(NAME source... [WIDGETS] LIBRARIES lib...)
# One GoogleTest executable per unit, discovered by CTest test by test, with
# the shared test helpers. WIDGETS adds the widget tests' main, which makes
# the QApplication (gtest_main's is then left out by the linker), and QTest.
function(quillory_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "WIDGETS" "" "SOURCES;LIBRARIES")
  set(sources ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  set(libraries ${ARG_LIBRARIES})
  if(ARG_WIDGETS)
    list(APPEND sources ${PROJECT_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    list(APPEND libraries Qt6::Test)
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${libraries} quillory_test_support GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()
