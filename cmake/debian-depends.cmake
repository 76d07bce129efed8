# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it makes the Debian package (CPACK_PROJECT_CONFIG_FILE):
# the libraries' packages, found by dpkg-shlibdeps in the built programs, with
# one entry per package. dpkg-shlibdeps may name a package twice with different
# versions (Debian 13 gives "libstdc++6 (>= 4.1.1), libstdc++6 (>= 14)"), which
# lintian rejects; the higher version is the one that holds.
cmake_policy(VERSION 3.22)
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()

set(work "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps")
file(REMOVE_RECURSE "${work}")
# dpkg-shlibdeps wants to run where a debian/control is.
file(WRITE "${work}/debian/control" "")
execute_process(
    COMMAND dpkg-shlibdeps -O --ignore-missing-info ${CPACK_CORVANE_PROGRAMS}
    WORKING_DIRECTORY "${work}"
    OUTPUT_VARIABLE found
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
file(REMOVE_RECURSE "${work}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-shlibdeps failed on ${CPACK_CORVANE_PROGRAMS} (build them first):\n${errors}")
endif()
string(REGEX REPLACE "^.*Depends=" "" found "${found}")
string(STRIP "${found}" found)
string(REPLACE ", " ";" entries "${found}")

set(names)
foreach(entry IN LISTS entries)
    if(entry MATCHES "^([^ ]+) \\(>= ([^)]+)\\)$")
        set(name "${CMAKE_MATCH_1}")
        set(version "${CMAKE_MATCH_2}")
    else()
        set(name "${entry}")
        set(version "")
    endif()
    if(NOT name IN_LIST names)
        list(APPEND names "${name}")
        set(version_of_${name} "${version}")
    elseif(version_of_${name} STREQUAL "")
        set(version_of_${name} "${version}")
    elseif(NOT version STREQUAL "")
        execute_process(COMMAND dpkg --compare-versions "${version}" gt "${version_of_${name}}" RESULT_VARIABLE lower)
        if(lower EQUAL 0)
            set(version_of_${name} "${version}")
        endif()
    endif()
endforeach()

set(depends)
foreach(name IN LISTS names)
    if(version_of_${name} STREQUAL "")
        list(APPEND depends "${name}")
    else()
        list(APPEND depends "${name} (>= ${version_of_${name}})")
    endif()
endforeach()
list(JOIN depends ", " depends)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
