# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers for the Korvo TFT build.

function(korvo_apply_sanitizers)
    if(KORVO_SANITIZE STREQUAL "address")
        add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    elseif(KORVO_SANITIZE STREQUAL "thread")
        add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
        add_link_options(-fsanitize=thread)
    elseif(NOT KORVO_SANITIZE STREQUAL "")
        message(FATAL_ERROR "KORVO_SANITIZE must be empty, 'address' or 'thread'")
    endif()
endfunction()

# korvo_library(NAME SOURCES ... [LIBS ...])
# One library per src/ folder; its public headers are included as "<folder>/<header>.h".
function(korvo_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    target_compile_options(${name} PRIVATE $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>)
endfunction()

# korvo_add_test(NAME SOURCES ... [LIBS ...] [THREADED])
# One Qt Test executable per class; THREADED tests are also run under ThreadSanitizer in CI.
function(korvo_add_test name)
    cmake_parse_arguments(ARG "THREADED" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt5::Test ${ARG_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/src)
    add_test(NAME ${name} COMMAND ${name})
    set(labels unit)
    if(ARG_THREADED)
        list(APPEND labels threaded)
        set_property(GLOBAL APPEND PROPERTY KORVO_THREADED_TESTS ${name})
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KORVO_PROGRAM_DIR=${KORVO_PROGRAM_DIR};KORVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# korvo_folder_library(NAME LIBS ...): a library of every .cpp and .h in the calling folder.
# Used where several people add classes to one folder.
function(korvo_folder_library name)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(NOT sources)
        return()
    endif()
    korvo_library(${name} SOURCES ${sources} LIBS ${ARG_LIBS})
endfunction()

# korvo_add_subdirectories(): every subfolder of the calling folder that has a CMakeLists.txt,
# in name order, so that a new folder needs no line of its own.
function(korvo_add_subdirectories)
    file(GLOB subdirs LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT subdirs)
    foreach(dir ${subdirs})
        if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
            add_subdirectory(${dir})
        endif()
    endforeach()
endfunction()

# Release builds are hardened as a distribution builds its packages: checked string and memory
# functions, stack protector, read-only relocations bound at start, position-independent program.
function(korvo_apply_hardening)
    if(WIN32 OR NOT KORVO_SANITIZE STREQUAL "" OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        return()
    endif()
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
    set(release $<NOT:$<CONFIG:Debug>>)
    add_compile_options($<${release}:-U_FORTIFY_SOURCE> $<${release}:-D_FORTIFY_SOURCE=2>
                        $<${release}:-fstack-protector-strong> $<${release}:-fstack-clash-protection>)
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
        add_compile_options($<${release}:-fcf-protection>)
    endif()
    add_link_options($<${release}:LINKER:-z,relro> $<${release}:LINKER:-z,now>)
endfunction()
