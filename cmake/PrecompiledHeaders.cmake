# Precompiled headers: Qt's, the standard library's and GoogleTest's headers are parsed once per
# build and kind of target, instead of once per file. Four sets: code on Qt Core, code with
# widgets, and tests of either kind; each is built by a small target of its own and reused by
# every target of its kind (REUSE_FROM), so all of them share its flags. Fuzz targets, which
# clang builds with other flags, take none. What any target contains does not change.
#
# project_precompile_headers() runs at the end of the top-level CMakeLists.txt, when every
# target exists. PROJECT_PCH=OFF turns the sets off (to check that every file still includes
# what it uses).
option(PROJECT_PCH "Precompile the common headers" ON)

# ccache, when installed, serves rebuilds of unchanged files; it needs to be told that the
# precompiled headers' definitions and times may be trusted.
find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
        CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
        ${CCACHE_PROGRAM})
endif()

# Whether `target` gets the usage requirements (the definitions a precompiled header was built
# with) of `wanted`: through what it links itself, and what those pass on to their users.
function(_project_links target wanted out)
    set(seen ${target})
    get_target_property(queue ${target} LINK_LIBRARIES)
    if(NOT queue)
        set(queue "")
    endif()
    while(queue)
        list(POP_FRONT queue current)
        if(current IN_LIST seen OR NOT TARGET ${current})
            continue()
        endif()
        list(APPEND seen ${current})
        if(current STREQUAL wanted)
            set(${out} TRUE PARENT_SCOPE)
            return()
        endif()
        get_target_property(aliased ${current} ALIASED_TARGET)
        if(aliased)
            list(APPEND queue ${aliased})
        endif()
        get_target_property(interface ${current} INTERFACE_LINK_LIBRARIES)
        if(interface)
            list(APPEND queue ${interface})
        endif()
    endwhile()
    set(${out} FALSE PARENT_SCOPE)
endfunction()

function(_project_pch_set name header)
    add_library(${name} OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch/Empty.cpp)
    target_link_libraries(${name} PRIVATE ${ARGN} project_warnings)
    target_precompile_headers(${name} PRIVATE "${PROJECT_SOURCE_DIR}/${header}")
    set_target_properties(${name} PROPERTIES AUTOMOC OFF) # nothing of its own to moc
endfunction()

function(_project_targets directory out)
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    foreach(subdirectory IN LISTS subdirectories)
        _project_targets(${subdirectory} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(project_precompile_headers)
    if(NOT PROJECT_PCH)
        return()
    endif()
    _project_pch_set(pch_core cmake/pch/Core.h Qt6::Core)
    _project_pch_set(pch_widgets cmake/pch/Widgets.h Qt6::Widgets)
    if(BUILD_TESTING)
        _project_pch_set(pch_tests_core cmake/pch/Tests.h Qt6::Core GTest::gtest project_test_code)
        _project_pch_set(pch_tests_widgets cmake/pch/TestsWidgets.h Qt6::Widgets GTest::gtest
                         project_test_code)
    endif()
    _project_targets(${PROJECT_SOURCE_DIR} targets)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(skip ${target} PROJECT_NO_PCH)
        if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE|OBJECT_LIBRARY)$" OR skip
           OR target MATCHES "^pch_")
            continue()
        endif()
        _project_links(${target} Qt6::Core on_qt)
        _project_links(${target} Qt6::Widgets widgets)
        _project_links(${target} GTest::gtest tests)
        if(tests AND NOT BUILD_TESTING)
            continue()
        endif()
        set(set pch_core)
        if(NOT on_qt)
            # Plain C++ (the cell service, geodesy): its headers are few and its own, and its
            # three test programs parse GoogleTest in less time than a set of it takes to make.
            continue()
        elseif(tests AND widgets)
            set(set pch_tests_widgets)
        elseif(tests)
            set(set pch_tests_core)
        elseif(widgets)
            set(set pch_widgets)
        endif()
        target_precompile_headers(${target} REUSE_FROM ${set})
        # Most targets' moc file is empty, and loading a set takes a second, far longer than
        # compiling the few that are not without it.
        get_target_property(automoc ${target} AUTOMOC)
        if(automoc)
            get_target_property(binary_dir ${target} BINARY_DIR)
            set_source_files_properties(${binary_dir}/${target}_autogen/mocs_compilation.cpp
                TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
        endif()
    endforeach()
endfunction()
