#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package and checks it:
#   check-package.sh BUILD_DIR contents   fields, files, lintian, AppStream, desktop entry
#   check-package.sh BUILD_DIR install    installs it, runs it from the installed paths,
#                                         removes it and checks that its files are gone (root only)
set -euo pipefail
build=$1
what=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$("$root/scripts/package" "$build")
fail() { echo "FAIL: $*" >&2; exit 1; }

spreadsheet_types=(application/vnd.ms-excel application/vnd.openxmlformats-officedocument.spreadsheetml.sheet
    application/vnd.oasis.opendocument.spreadsheet)
# What a double click on a workbook opens, as xdg-open finds it without a
# desktop: xdg-mime with the data folders given and a home of nothing.
default_for() { # TYPE DATA_DIRS
    local home
    home=$(mktemp -d)
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
        XDG_CONFIG_DIRS="$home/config" XDG_DATA_DIRS="$2" xdg-mime query default "$1"
    rm -rf "$home"
}

case "$what" in
contents)
    info=$(dpkg-deb --info "$deb")
    for field in Package Version Architecture Maintainer Section Priority Homepage Description Depends Recommends; do
        grep -q "^ $field: " <<<"$info" || fail "no $field field"
    done
    # The release the package is built on is in its version and its file name:
    # packages of different releases never share either.
    version=$(dpkg-deb --field "$deb" Version)
    expected="$(. /etc/os-release && case "$ID:${VERSION_ID:-}" in
        debian:[0-9]*) echo "1~deb${VERSION_ID}u1" ;; ubuntu:[0-9]*) echo "1~ubuntu${VERSION_ID}.1" ;; *) echo 1 ;; esac)"
    [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+-${expected//./\\.}$ ]] || fail "version $version, not one ending in -$expected"
    [ "$(basename "$deb")" = "corvane_${version}_$(dpkg --print-architecture).deb" ] || fail "file name $deb for $version"
    changelog_version=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/corvane/changelog.Debian.gz \
        | gzip -dc | sed -nE '1s/^corvane \(([^)]*)\).*/\1/p')
    [ "$changelog_version" = "$version" ] || fail "the changelog starts with '$changelog_version', not $version"
    depends=$(dpkg-deb --field "$deb" Depends)
    for needed in libreoffice-calc libreoffice-core libcups2 libqpdf libqt6widgets6 qt6-qpa-plugins; do
        grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
    done
    grep -q -- "-nogui" <<<"$depends" && fail "Depends names the -nogui office, which cannot print"
    recommends=$(dpkg-deb --field "$deb" Recommends)
    for wanted in cups fonts-crosextra-carlito fonts-liberation2; do
        grep -q "$wanted" <<<"$recommends" || fail "Recommends lacks $wanted"
    done
    contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
    for file in ./usr/bin/corvane ./usr/bin/corvane-print ./usr/share/applications/tenvara-corvane.desktop \
        ./usr/share/icons/hicolor/scalable/apps/corvane.svg ./usr/share/icons/hicolor/48x48/apps/corvane.png \
        ./usr/share/man/man1/corvane.1.gz ./usr/share/man/man1/corvane-print.1.gz \
        ./usr/share/metainfo/io.tenvara.corvane.metainfo.xml \
        ./usr/share/bash-completion/completions/corvane-print ./usr/share/doc/corvane/copyright \
        ./usr/share/doc/corvane/changelog.Debian.gz ./usr/share/corvane/drag.ico ./usr/share/corvane/Samples/Inventory.ods \
        ./usr/share/corvane/x/o.cjs.sample; do
        grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
    done
    # Errors and warnings fail; the informational tags left are listed in the README.
    tags=$(lintian --fail-on none "$deb" 2>/dev/null || true)
    echo "$tags"
    if grep -qE '^[EW]: ' <<<"$tags"; then fail "lintian reports errors or warnings"; fi
    apps=$(mktemp -d)
    trap 'rm -rf "$apps"' EXIT
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$apps" ./usr/share/applications ./usr/bin
    # The programs find LibreOffice's private libraries and nothing else.
    for program in corvane corvane-print; do
        runpath=$(readelf -d "$apps/usr/bin/$program" | sed -nE 's/.*\((RUN)?PATH\).*\[(.*)\]/\2/p')
        [ "$runpath" = /usr/lib/libreoffice/program ] || fail "$program's run path is '$runpath'"
    done
    # The entry is offered for workbooks, beside the spreadsheet program, and
    # never becomes what opens them.
    cp /usr/share/applications/libreoffice-calc.desktop "$apps/usr/share/applications/"
    update-desktop-database "$apps/usr/share/applications"
    for type in "${spreadsheet_types[@]}"; do
        grep -q "^$type=.*tenvara-corvane.desktop" "$apps/usr/share/applications/mimeinfo.cache" \
            || fail "the desktop entry is not offered for $type"
        default=$(default_for "$type" "$apps/usr/share")
        [ "$default" = libreoffice-calc.desktop ] || fail "$type opens with $default, not LibreOffice Calc"
    done
    appstreamcli validate --no-net "$root/resources/io.tenvara.corvane.metainfo.xml"
    desktop-file-validate "$root/resources/tenvara-corvane.desktop"
    echo "package $deb checked"
    ;;
install)
    if [ "$(id -u)" -ne 0 ]; then
        echo "not root: the install test needs to install packages"
        exit 77
    fi
    if dpkg-query -W -f='${Status}' corvane 2>/dev/null | grep -q 'install ok installed'; then
        fail "corvane is installed already; the test will not touch an installation it did not make"
    fi
    files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print substr($6, 2)}')
    export DEBIAN_FRONTEND=noninteractive
    trap 'apt-get remove -y corvane >/dev/null 2>&1 || true' EXIT
    apt-get install -y --no-install-recommends "$deb"
    /usr/bin/corvane-print --version | grep -q "^corvane-print 1" || fail "the installed corvane-print does not run"
    [ "$(man -w corvane-print)" = /usr/share/man/man1/corvane-print.1.gz ] || fail "man -w corvane-print"
    [ -d /usr/share/corvane/Samples ] || fail "no samples installed"
    for type in "${spreadsheet_types[@]}"; do
        default=$(default_for "$type" /usr/local/share:/usr/share)
        [[ $default != *corvane* ]] || fail "installed, Corvane became what opens $type"
    done
    apt-get remove -y corvane
    trap - EXIT
    for file in $files; do
        [ ! -e "$file" ] || fail "$file is still there after the package was removed"
    done
    echo "installed, ran and removed $deb"
    ;;
*)
    fail "usage: check-package.sh BUILD_DIR contents|install"
    ;;
esac
