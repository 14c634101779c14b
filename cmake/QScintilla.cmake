# SPDX-License-Identifier: GPL-3.0-or-later
# QScintilla for Qt 6, built from Debian's own source package with the small patches of
# ours in qscintilla/*.patch (fast-search: plain ASCII search text is found a buffer
# segment at a time instead of a character at a time, with the same matches;
# skip-inactive-accessibility: no per-edit character counting
# unless an assistive technology is listening; accessibility-offsets-by-line: when one is,
# offsets come from the line character index; cache-long-segments: long lines without
# blanks are not shaped again in whole after every edit; lazy-style-bytes: no style bytes
# until a style other than 0 is set; line-end-scan: line ends of inserted text found
# sixteen bytes at a time; line-index-crlf: the line character index stays right at a CR
# and its LF; windows-1252-8bit: 8-bit text is shown, typed and exchanged as
# Windows-1252, and a character it lacks becomes a numeric character reference), and
# offered as the imported target QScintilla::QScintilla.
#
# The library is built once, at configure time, into QUINDO_QSCINTILLA_PREFIX (inside the
# build folder by default). Another build folder can reuse it by pointing the variable at
# the same prefix, as `make test-asan` does. It is rebuilt only when a patch or the
# build script changes. It is a static library linked into each program, so the program
# cannot load any other copy (such as Debian's unpatched libqscintilla2-qt6-15), whether
# it runs from the build folder, from an install prefix or from the Debian package.

set(QUINDO_QSCINTILLA_PREFIX "${CMAKE_BINARY_DIR}/qscintilla" CACHE PATH
    "Where the patched QScintilla is built and installed (may be shared by build folders)")

set(_qsci_prefix "${QUINDO_QSCINTILLA_PREFIX}")
set(_qsci_recipe "${CMAKE_CURRENT_LIST_DIR}/qscintilla")
file(GLOB _qsci_patches "${_qsci_recipe}/*.patch")
list(SORT _qsci_patches)
set(_qsci_library "${_qsci_prefix}/lib/libqscintilla2_qt6.a")

set(_qsci_key "")
foreach(p ${_qsci_patches} "${_qsci_recipe}/CMakeLists.txt")
    file(SHA256 "${p}" h)
    string(APPEND _qsci_key "${h} ")
endforeach()

file(MAKE_DIRECTORY "${_qsci_prefix}")
# Two build folders configuring at once must not build into the same prefix together.
file(LOCK "${_qsci_prefix}/.lock" GUARD FILE TIMEOUT 3600)

set(_qsci_stamp_value "")
if(EXISTS "${_qsci_prefix}/stamp")
    file(READ "${_qsci_prefix}/stamp" _qsci_stamp_value)
endif()

function(_qsci_run what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc
                    OUTPUT_FILE "${_qsci_prefix}/${what}.log" ERROR_FILE "${_qsci_prefix}/${what}.log")
    if(NOT rc EQUAL 0)
        file(READ "${_qsci_prefix}/${what}.log" log)
        message(FATAL_ERROR "QScintilla ${what} failed (${_qsci_prefix}/${what}.log):\n${log}")
    endif()
endfunction()

if(NOT EXISTS "${_qsci_library}" OR NOT _qsci_stamp_value STREQUAL _qsci_key)
    message(STATUS "QScintilla: building the patched library into ${_qsci_prefix} (once; "
                   "a few minutes on two cores)")
    foreach(d src build lib include)
        file(REMOVE_RECURSE "${_qsci_prefix}/${d}")
    endforeach()
    file(REMOVE "${_qsci_prefix}/stamp")
    file(MAKE_DIRECTORY "${_qsci_prefix}/src")

    find_program(_qsci_apt apt-get REQUIRED)
    message(STATUS "QScintilla: fetching Debian's source package (apt-get source qscintilla2)")
    execute_process(COMMAND ${_qsci_apt} source qscintilla2
                    WORKING_DIRECTORY "${_qsci_prefix}/src" RESULT_VARIABLE rc
                    OUTPUT_FILE "${_qsci_prefix}/source.log" ERROR_FILE "${_qsci_prefix}/source.log")
    if(NOT rc EQUAL 0)
        file(READ "${_qsci_prefix}/source.log" log)
        message(FATAL_ERROR "apt-get source qscintilla2 failed: run scripts/install-deps.sh "
                            "(it adds the source entry apt needs)\n${log}")
    endif()
    file(GLOB _qsci_unpacked LIST_DIRECTORIES true "${_qsci_prefix}/src/qscintilla2-*")
    list(FILTER _qsci_unpacked EXCLUDE REGEX "\\.(tar\\..*|dsc)$")
    list(LENGTH _qsci_unpacked n)
    if(NOT n EQUAL 1)
        message(FATAL_ERROR "Unexpected qscintilla2 source layout: ${_qsci_unpacked}")
    endif()

    find_program(_qsci_patch_tool patch REQUIRED)
    message(STATUS "QScintilla: applying ${_qsci_patches}")
    foreach(p ${_qsci_patches})
        execute_process(COMMAND ${_qsci_patch_tool} -p1 --forward --input "${p}"
                        WORKING_DIRECTORY "${_qsci_unpacked}" RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "The QScintilla patch ${p} no longer applies to ${_qsci_unpacked}")
        endif()
    endforeach()

    set(_qsci_launcher "")
    if(CCACHE_PROGRAM)
        set(_qsci_launcher "-DCMAKE_CXX_COMPILER_LAUNCHER=${CCACHE_PROGRAM}")
    endif()
    cmake_host_system_information(RESULT _qsci_jobs QUERY NUMBER_OF_LOGICAL_CORES)
    _qsci_run(configure ${CMAKE_COMMAND} -S "${_qsci_recipe}" -B "${_qsci_prefix}/build"
              -G "${CMAKE_GENERATOR}" -DCMAKE_BUILD_TYPE=Release
              -DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER} ${_qsci_launcher}
              -DCMAKE_INSTALL_PREFIX=${_qsci_prefix} -DQSCI_SOURCE_DIR=${_qsci_unpacked})
    message(STATUS "QScintilla: compiling (progress below, log in ${_qsci_prefix}/build.log)")
    # The compile takes minutes: its progress lines go to the terminal as well as the log.
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${_qsci_prefix}/build" --parallel ${_qsci_jobs}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out
                    ECHO_OUTPUT_VARIABLE ECHO_ERROR_VARIABLE)
    file(WRITE "${_qsci_prefix}/build.log" "${out}")
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "QScintilla build failed (${_qsci_prefix}/build.log)")
    endif()
    # A reconfigure started by a packaging run inherits its DESTDIR; the library must still
    # land in the prefix, not in the package's staging folder.
    _qsci_run(install ${CMAKE_COMMAND} -E env --unset=DESTDIR
              ${CMAKE_COMMAND} --install "${_qsci_prefix}/build")
    file(WRITE "${_qsci_prefix}/stamp" "${_qsci_key}")
    message(STATUS "QScintilla: done")
endif()
file(LOCK "${_qsci_prefix}/.lock" RELEASE)

add_library(QScintilla::QScintilla STATIC IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${_qsci_library}"
    INTERFACE_INCLUDE_DIRECTORIES "${_qsci_prefix}/include"
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport"
    # Not a system include folder, so these headers win over a system copy of QScintilla
    # under Qt's include folder.
    SYSTEM OFF)
set(QUINDO_QSCINTILLA_LIBRARY_DIR "${_qsci_prefix}/lib")
