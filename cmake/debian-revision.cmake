# SPDX-License-Identifier: GPL-3.0-or-later
# corvane_debian_revision(REVISION_VAR DISTRIBUTION_VAR): the package's Debian
# revision and the changelog's distribution for the system it is built on,
# read from /etc/os-release: "1~deb12u1" and "bookworm" on Debian 12,
# "1~ubuntu24.04.1" and "noble" on Ubuntu 24.04, and "1" and "unstable" where
# the release has no number (Debian testing and unstable, other systems);
# "1" sorts above every release's revision.
function(corvane_debian_revision revision_var distribution_var)
    set(ID "")
    set(VERSION_ID "")
    set(VERSION_CODENAME "")
    if(EXISTS /etc/os-release)
        file(STRINGS /etc/os-release lines REGEX "^(ID|VERSION_ID|VERSION_CODENAME)=")
        foreach(line IN LISTS lines)
            if(line MATCHES "^([A-Z_]+)=[\"']?([^\"']*)[\"']?$")
                set(${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
            endif()
        endforeach()
    endif()
    set(revision 1)
    set(distribution unstable)
    if(ID STREQUAL "debian" AND VERSION_ID MATCHES "^[0-9]+$")
        set(revision "1~deb${VERSION_ID}u1")
    elseif(ID STREQUAL "ubuntu" AND VERSION_ID MATCHES "^[0-9]+\\.[0-9]+$")
        set(revision "1~ubuntu${VERSION_ID}.1")
    endif()
    if(NOT revision STREQUAL "1" AND VERSION_CODENAME MATCHES "^[a-z]+$")
        set(distribution "${VERSION_CODENAME}")
    endif()
    set(${revision_var} "${revision}" PARENT_SCOPE)
    set(${distribution_var} "${distribution}" PARENT_SCOPE)
endfunction()
