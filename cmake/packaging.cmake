# SPDX-License-Identifier: GPL-3.0-or-later
# What a Debian package brings besides the programs and their data: manual
# pages, AppStream data, shell completion, the copyright and changelog, and
# the package itself, made by "cpack -G DEB" (scripts/package) in the build folder.

find_program(GZIP_PROGRAM gzip REQUIRED)
set(packaging_out ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_out})

# The libraries' package names differ between releases (libqpdf29 or
# libqpdf30, libqt6core6 or libqt6core6t64), so a package fits only the
# release it was built on: its revision says which, as Debian's own updates
# do, and its changelog starts with that build.
include(${CMAKE_CURRENT_LIST_DIR}/debian-revision.cmake)
corvane_debian_revision(corvane_revision corvane_distribution)
set(CORVANE_DEBIAN_REVISION "" CACHE STRING "Debian revision of the package (empty: from /etc/os-release)")
if(NOT CORVANE_DEBIAN_REVISION STREQUAL "")
    set(corvane_revision ${CORVANE_DEBIAN_REVISION})
endif()
message(STATUS "Debian package version: ${PROJECT_VERSION}-${corvane_revision}")
file(READ ${PROJECT_SOURCE_DIR}/docs/changelog changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/changelog)
if(NOT changelog MATCHES "^corvane \\(${PROJECT_VERSION}-1\\) ")
    message(FATAL_ERROR "docs/changelog does not start with version ${PROJECT_VERSION}-1")
endif()
if(NOT corvane_revision STREQUAL "1")
    # Dated by SOURCE_DATE_EPOCH or else the last commit, so the package is
    # the same whenever a checkout is made into one; the entry must be newer
    # than the one below it.
    if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
        execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
            OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE no_git)
        if(no_git EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
            set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
            set(date_from_commit ON)
        endif()
    endif()
    string(TIMESTAMP built "%a, %d %b %Y %H:%M:%S +0000" UTC)
    if(date_from_commit)
        unset(ENV{SOURCE_DATE_EPOCH})
    endif()
    string(REGEX MATCH "\n -- [^>]*>" maintainer "${changelog}")
    set(changelog "corvane (${PROJECT_VERSION}-${corvane_revision}) ${corvane_distribution}; urgency=medium\n\n  * Built for ${corvane_distribution}.\n${maintainer}  ${built}\n\n${changelog}")
endif()
file(CONFIGURE OUTPUT ${packaging_out}/changelog.Debian CONTENT "${changelog}" @ONLY)

# Compressed without a time stamp, so the package is the same whenever it is made.
set(compressed)
foreach(source ${PROJECT_SOURCE_DIR}/docs/man/corvane.1 ${PROJECT_SOURCE_DIR}/docs/man/corvane-print.1
        ${packaging_out}/changelog.Debian)
    get_filename_component(name ${source} NAME)
    set(target ${packaging_out}/${name}.gz)
    add_custom_command(OUTPUT ${target}
        COMMAND ${GZIP_PROGRAM} -9nc ${source} > ${target}
        DEPENDS ${source}
        VERBATIM)
    list(APPEND compressed ${target})
endforeach()
add_custom_target(corvane_packaging_files ALL DEPENDS ${compressed})

install(FILES ${packaging_out}/corvane.1.gz ${packaging_out}/corvane-print.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaging_out}/changelog.Debian.gz docs/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/corvane)
install(FILES resources/io.tenvara.corvane.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/lintian/corvane DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)
install(FILES resources/completion/corvane-print
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VENDOR Tenvara)
set(CPACK_PACKAGE_CONTACT "Tenvara <support@tenvara.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${corvane_revision})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print many spreadsheet workbooks in one run")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Corvane prints a whole list of spreadsheet workbooks (xls, xlsx, xlsm, ods
and more) in one go. The list is built with the file dialog, from a folder's
whole tree by extension, or by dragging files from the file manager; each
workbook is opened read-only by a hidden LibreOffice of its own and printed
on a CUPS printer, its active sheet or all of its sheets.
.
The command corvane-print does the same from scripts and scheduled jobs.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tenvara <support@tenvara.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tenvara.example/corvane/")
# The libraries are found by dpkg-shlibdeps; what is started or loaded at
# run time is named here: the office itself (Calc, not the -nogui build,
# which cannot print) and Qt's platform and image plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libreoffice-calc, libreoffice-core, qt6-qpa-plugins")
# dpkg-shlibdeps is run by debian-depends.cmake instead, which keeps one entry per package.
set(CPACK_CORVANE_PROGRAMS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/corvane ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/corvane-print)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/debian-depends.cmake)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, fonts-crosextra-carlito, fonts-liberation2, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
