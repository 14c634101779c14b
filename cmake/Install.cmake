# SPDX-License-Identifier: GPL-3.0-or-later
# The installed layout: the program keeps its data files beside its executable, in
# <prefix>/lib/quindo/, and <prefix>/bin/quindo is a link to it. The desktop finds the
# launcher, the icon and the AppStream description in the usual places under share/.
set(QUINDO_PROGRAM_DIR lib/quindo)

install(TARGETS quindo RUNTIME DESTINATION ${QUINDO_PROGRAM_DIR})
foreach(f ${QUINDO_DATA_FILES})
    if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/data/${f})
        install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/data/${f} DESTINATION ${QUINDO_PROGRAM_DIR})
    endif()
endforeach()

# A relative link, so the tree can be moved (DESTDIR, packaging) and still work.
install(CODE [[
    set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
    file(MAKE_DIRECTORY "${bin}")
    file(REMOVE "${bin}/quindo")
    file(CREATE_LINK ../lib/quindo/quindo "${bin}/quindo" SYMBOLIC)
    message(STATUS "Installing: ${bin}/quindo -> ../lib/quindo/quindo")
]])

install(FILES data/quindo.desktop DESTINATION share/applications)
install(FILES data/quindo.svg DESTINATION share/icons/hicolor/scalable/apps)
configure_file(data/org.quindo.Quindo.metainfo.xml
               ${CMAKE_CURRENT_BINARY_DIR}/org.quindo.Quindo.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/org.quindo.Quindo.metainfo.xml
        DESTINATION share/metainfo)

find_program(GZIP_PROGRAM gzip REQUIRED)
# The licence, the manual page and, for the Debian package, its changelog (gzip -n: the same bytes every
# build).
install(FILES packaging/copyright DESTINATION share/doc/quindo)
configure_file(packaging/quindo.1 ${CMAKE_CURRENT_BINARY_DIR}/quindo.1 @ONLY)
execute_process(COMMAND ${GZIP_PROGRAM} -9nf ${CMAKE_CURRENT_BINARY_DIR}/quindo.1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quindo.1.gz DESTINATION share/man/man1)
configure_file(packaging/changelog.Debian ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian @ONLY)
execute_process(COMMAND ${GZIP_PROGRAM} -9nf ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz DESTINATION share/doc/quindo)

# cpack -G DEB (in the build folder) makes a Debian package of the same layout.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quindo)
set(CPACK_PACKAGE_VENDOR "Tamblor9")
set(CPACK_PACKAGE_CONTACT "Quindo developers <developers@quindo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for hand-written HTML pages")
set(CPACK_PACKAGE_DESCRIPTION
    "Quindo is a small editor for hand-written HTML pages, made for people who
learn HTML while they write it. Menus and picture buttons insert ready-made
tags at the caret, and pages are previewed in the web browser you pick once.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The package's own revision, as in its changelog.Debian.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quindo.org/")
# Depends comes from the libraries the program links: Qt 6 and the C/C++ runtime only, as
# QScintilla is inside the program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, tidy")
set(CPACK_STRIP_FILES ON)
include(CPack)
