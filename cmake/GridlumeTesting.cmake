# gridlume_add_test(<name> LABEL <unit|sim|x11> SOURCES <files...> LIBRARIES <targets...>
#                   [TIMEOUT <seconds>] [TEST_NAME <name in CTest>])
#
# Builds one test executable (GoogleTest + Qt's offscreen platform) and registers it with CTest
# under its label, so `ctest -L unit` runs one layer.
function(gridlume_add_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT;TEST_NAME" "SOURCES;LIBRARIES" ${ARGN})
    if(NOT ARG_LABEL)
        message(FATAL_ERROR "gridlume_add_test(${name}): LABEL is required")
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} gridlume_test_main GTest::gtest GTest::gmock Qt6::Test)
    if(NOT ARG_TEST_NAME)
        set(ARG_TEST_NAME ${name})
    endif()
    add_test(NAME ${ARG_TEST_NAME} COMMAND ${name})
    set_tests_properties(${ARG_TEST_NAME} PROPERTIES
        LABELS "${ARG_LABEL}"
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.qpa.*=false")
endfunction()

# gridlume_add_benchmark(<name> SOURCES <files...> LIBRARIES <targets...>)
#
# Benchmarks are registered with the label "bench" and excluded from the default test run.
function(gridlume_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} benchmark::benchmark)
    add_test(NAME ${name} COMMAND ${name} --benchmark_min_time=0.05)
    set_tests_properties(${name} PROPERTIES LABELS "bench" TIMEOUT 600
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
