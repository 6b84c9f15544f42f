# add_fuzz_target(<name> SOURCES <files...> LIBS <targets...>)
#
# A fuzz target defines LLVMFuzzerTestOneInput. Built with clang and FUZZ_WITH_LIBFUZZER it
# links libFuzzer; otherwise it links a small driver that replays files given on the command
# line and then feeds a bounded number of generated inputs, which CTest runs (FUZZ_RUNS).
option(FUZZ_WITH_LIBFUZZER "Link fuzz targets with clang's libFuzzer" OFF)

function(add_fuzz_target name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} project_warnings)
    # clang builds them with the fuzzer's own flags, which a shared precompiled header lacks.
    set_target_properties(${name} PROPERTIES PROJECT_NO_PCH ON)
    if(FUZZ_WITH_LIBFUZZER)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    else()
        target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tools/fuzz/StandaloneFuzzMain.cpp)
        if(BUILD_TESTING)
            add_test(NAME ${name} COMMAND ${name} --runs=${FUZZ_RUNS})
            set_tests_properties(${name} PROPERTIES
                ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 300)
        endif()
    endif()
endfunction()
