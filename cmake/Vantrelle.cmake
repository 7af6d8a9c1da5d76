# Helpers shared by every folder.

# vantrelle_add_folder_library(name [DEPS libs...]): one static library of
# every source in the calling folder (an interface library while it has none).
function(vantrelle_add_folder_library name)
    cmake_parse_arguments(A "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    list(FILTER sources EXCLUDE REGEX "/(main|Program)\\.cpp$")
    list(FILTER sources INCLUDE REGEX "\\.cpp$")
    if(sources)
        file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
        add_library(${name} STATIC ${sources} ${headers})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} PUBLIC ${A_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${A_DEPS})
    endif()
    cmake_language(DEFER CALL _vantrelle_make_imports_global)
endfunction()

# Run at the end of a folder: the link lists are read from src/ (see
# vantrelle_write_links), which sees a target the folder imported only when
# that target is global.
function(_vantrelle_make_imports_global)
    get_directory_property(imported IMPORTED_TARGETS)
    foreach(target IN LISTS imported)
        get_target_property(global ${target} IMPORTED_GLOBAL)
        if(NOT global)
            set_property(TARGET ${target} PROPERTY IMPORTED_GLOBAL TRUE)
        endif()
    endforeach()
endfunction()

# Where vantrelle_write_links puts the link lists for tests/layering.
set(VANTRELLE_LINKS_FILE ${PROJECT_BINARY_DIR}/layer-links.txt)

# vantrelle_write_links(file): one line "folder target: links" for every
# target made under the calling folder. The links are closed over everything
# the target links, ours and imported: our targets by name, Qt modules as
# Qt6::<Module> (as targets or as library files), an imported target that
# cannot be seen from here as ?<name>. Other libraries are walked, not listed.
function(vantrelle_write_links file)
    set(text "# Written by vantrelle_write_links, checked by tests/layering.\n")
    set(dirs ${CMAKE_CURRENT_SOURCE_DIR})
    while(dirs)
        list(POP_FRONT dirs dir)
        get_directory_property(children DIRECTORY ${dir} SUBDIRECTORIES)
        list(APPEND dirs ${children})
        file(RELATIVE_PATH folder ${CMAKE_CURRENT_SOURCE_DIR} ${dir})
        if(folder STREQUAL "")
            set(folder .)
        endif()
        get_directory_property(targets DIRECTORY ${dir} BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(NOT type STREQUAL "UTILITY")
                _vantrelle_link_closure(${target} links)
                list(JOIN links " " links)
                string(APPEND text "${folder} ${target}: ${links}\n")
            endif()
        endforeach()
    endwhile()
    file(WRITE ${file} "${text}")
endfunction()

function(_vantrelle_link_closure root out)
    set(found "")
    set(seen "")
    set(todo ${root})
    while(todo)
        list(POP_FRONT todo item)
        if(item MATCHES "^\\$<TARGET_NAME_IF_EXISTS:(.*)>$" AND NOT TARGET ${CMAKE_MATCH_1})
            continue()
        endif()
        # $<LINK_ONLY:x>, $<$<CONFIG:Debug>:x> and the like: keep x, whatever the condition.
        while(item MATCHES "\\$<")
            set(before "${item}")
            string(REGEX REPLACE "\\$<[^<>:]*>" "" item "${item}")
            string(REGEX REPLACE "\\$<[^<>:]*:([^<>]*)>" "\\1" item "${item}")
            if(item STREQUAL before)
                break()
            endif()
        endwhile()
        # ::@ marks the folder a link was added from, not a library.
        if(item STREQUAL "" OR item MATCHES "^::@" OR item IN_LIST seen)
            continue()
        endif()
        list(APPEND seen ${item})
        if(TARGET ${item})
            get_target_property(aliased ${item} ALIASED_TARGET)
            if(aliased)
                list(APPEND todo ${aliased})
                continue()
            endif()
            get_target_property(imported ${item} IMPORTED)
            get_target_property(type ${item} TYPE)
            if(NOT imported AND NOT item STREQUAL root)
                list(APPEND found ${item})
            elseif(item MATCHES "^Qt6::" AND NOT type STREQUAL "INTERFACE_LIBRARY")
                list(APPEND found ${item})
            endif()
            get_target_property(links ${item} INTERFACE_LINK_LIBRARIES)
            if(links)
                list(APPEND todo ${links})
            endif()
            if(NOT imported)
                get_target_property(links ${item} LINK_LIBRARIES)
                if(links)
                    list(APPEND todo ${links})
                endif()
            endif()
        elseif(item MATCHES "::")
            list(APPEND found "?${item}")
        elseif(item MATCHES "^(.*/)?(lib|-l)?Qt6([A-Za-z0-9]+)(\\.so.*|\\.a)?$")
            list(APPEND found "Qt6::${CMAKE_MATCH_3}")
        endif()
    endwhile()
    list(REMOVE_DUPLICATES found)
    list(SORT found)
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# Adds every */CMakeLists.txt below the calling folder, so that each test
# group, benchmark or tool owns its own listing.
function(vantrelle_add_child_dirs)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child IN LISTS children)
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child} AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# vantrelle_add_unit_test(name SOURCES... DEPS libs...): GoogleTest, no display.
function(vantrelle_add_unit_test name)
    cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 120
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# vantrelle_add_gui_test(name SOURCES... DEPS libs...): QtTest under the offscreen platform.
function(vantrelle_add_gui_test name)
    cmake_parse_arguments(A "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_link_libraries(${name} PRIVATE ${A_DEPS} Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS gui TIMEOUT 180
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# A small Windows program built with mingw, for tests and benchmarks that run
# it under wine: vantrelle_add_windows_program(target output.exe source.c)
function(vantrelle_add_windows_program target output source)
    add_custom_command(OUTPUT ${output}
        COMMAND ${VANTRELLE_MINGW_CC} -O2 -Wall -Wextra -Werror -o ${output} ${source}
        DEPENDS ${source}
        COMMENT "Building the Windows program ${target} with mingw"
        VERBATIM)
    add_custom_target(${target} DEPENDS ${output})
endfunction()

# vantrelle_add_fuzz_target(name SECONDS s MAX_LEN n SOURCES... INPUTS dirs...):
# a libFuzzer program with the readers it checks compiled in (so that they
# carry the coverage instrumentation), run by ctest for a bounded time from
# the INPUTS; new inputs go to <name>-corpus in the build tree.
function(vantrelle_add_fuzz_target name)
    cmake_parse_arguments(A "" "SECONDS;MAX_LEN" "SOURCES;INPUTS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
        -fno-sanitize-recover=undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
    file(MAKE_DIRECTORY ${corpus})
    add_test(NAME ${name}
        COMMAND ${name} -seed=1 -max_total_time=${A_SECONDS} -timeout=5 -rss_limit_mb=1024
                -max_len=${A_MAX_LEN} -artifact_prefix=${CMAKE_CURRENT_BINARY_DIR}/
                ${corpus} ${A_INPUTS})
    set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
