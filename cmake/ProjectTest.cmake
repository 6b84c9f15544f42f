# add_project_test(<name> SOURCES <files...> LIBS <targets...>)
#
# Builds a GoogleTest executable and registers each of its tests with CTest. Tests run on
# Qt's offscreen platform so that widgets work without a display. With BUILD_TESTING off the
# executable still exists (so that folders may add to it) but is left out of the build.
find_package(GTest REQUIRED)
include(GoogleTest)
if(BUILD_TESTING)
    enable_testing()
endif()

# The tests' own files are compiled without optimisation, in half the time; the code they test
# keeps the build type's flags. The precompiled sets of tests carry the same.
add_library(project_test_code INTERFACE)
target_compile_options(project_test_code INTERFACE -O0)

function(add_project_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(BUILD_TESTING)
        add_executable(${name} ${ARG_SOURCES})
    else()
        add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main
                                          project_warnings project_test_code)
    # The test files of one executable share most of what they include and instantiate:
    # compiled as one unit, GoogleTest's and Qt's templates are made once.
    if(PROJECT_UNITY_TESTS)
        set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
    endif()
    if(BUILD_TESTING)
        gtest_discover_tests(${name}
            DISCOVERY_TIMEOUT 60
            PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen
                       TIMEOUT 120)
    endif()
endfunction()
