# SPDX-License-Identifier: GPL-3.0-or-later
# The layers of src/, checked on every test run (cmake -DSRC=<src> -P check_layers.cmake):
# 1. Folders include downwards only. From the bottom: platform; app, snippets and recovery
#    (beside each other); document; browser and editing (beside each other); ui; the
#    executable's files in src/ itself.
#    A folder may include its own files and any folder below it, nothing else, so no
#    two folders can include each other, directly or in a circle.
# 2. The widget-free library (the sources of quindo_base in src/CMakeLists.txt) reaches,
#    through every header of ours it includes, no Qt header outside Qt Core.
cmake_minimum_required(VERSION 3.25)

set(rank_platform 0)
set(rank_app 1)
set(rank_snippets 1)
set(rank_recovery 1)
set(rank_document 2)
set(rank_browser 3)
set(rank_editing 3)
set(rank_ui 4)
set(rank_. 5)

file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*.h" "${SRC}/*.cpp")
set(failures "")

function(folder_of path out)
    get_filename_component(dir "${path}" DIRECTORY)
    if(dir STREQUAL "")
        set(dir ".")
    endif()
    set(${out} "${dir}" PARENT_SCOPE)
endfunction()

function(includes_of path out_ours out_qt)
    file(STRINGS "${SRC}/${path}" lines REGEX "^#include [\"<]")
    set(ours "")
    set(qt "")
    foreach(line ${lines})
        if(line MATCHES "^#include \"([^\"]+)\"")
            list(APPEND ours "${CMAKE_MATCH_1}")
        elseif(line MATCHES "^#include <(Q[A-Za-z0-9_/]+)>")
            list(APPEND qt "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    set(${out_ours} "${ours}" PARENT_SCOPE)
    set(${out_qt} "${qt}" PARENT_SCOPE)
endfunction()

# 1. Folder edges.
foreach(f ${files})
    folder_of("${f}" from)
    if(NOT DEFINED rank_${from})
        string(APPEND failures "\n${f}: folder ${from} has no place in the layers")
        continue()
    endif()
    includes_of("${f}" ours qt)
    foreach(inc ${ours})
        if(NOT EXISTS "${SRC}/${inc}")
            continue()  # a header of the tests or of a library
        endif()
        folder_of("${inc}" to)
        if(NOT to STREQUAL from AND NOT rank_${to} LESS rank_${from})
            string(APPEND failures "\n${f} (${from}) includes ${inc} (${to}): upwards or sideways")
        endif()
    endforeach()
endforeach()

# 2. The widget-free library.
file(READ "${SRC}/CMakeLists.txt" lists)
string(REGEX MATCH "target_sources\\(quindo_base PRIVATE([^)]*)\\)" _ "${lists}")
string(REGEX MATCHALL "[A-Za-z0-9_/]+\\.cpp" base_sources "${CMAKE_MATCH_1}")
if(NOT base_sources)
    string(APPEND failures "\nno sources of quindo_base found in src/CMakeLists.txt")
endif()
foreach(source ${base_sources})
    set(todo "${source}")
    set(seen "")
    while(todo)
        list(POP_FRONT todo f)
        if(f IN_LIST seen OR NOT EXISTS "${SRC}/${f}")
            continue()
        endif()
        list(APPEND seen "${f}")
        includes_of("${f}" ours qt)
        list(APPEND todo ${ours})
        foreach(header ${qt})
            if(NOT EXISTS "${QT_CORE_INCLUDE}/${header}" AND NOT header MATCHES "^QtCore/")
                string(APPEND failures
                       "\n${source} reaches <${header}> through ${f}: not a Qt Core header")
            endif()
        endforeach()
    endwhile()
endforeach()

if(failures)
    message(FATAL_ERROR "Layer rules broken:${failures}")
endif()
list(LENGTH files n)
message(STATUS "layers hold for ${n} files")
