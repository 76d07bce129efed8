#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what the end-to-end tests print with, and takes it down again:
#   fixture.sh start DIR   a private CUPS server in DIR/cups with the queues
#                          "Office" (the default) and "Second" on Letter paper
#                          and "Europe" on A4, and the test
#                          workbooks in DIR/workbooks
#   fixture.sh stop DIR
set -euo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
dir=${2:?usage: fixture.sh start|stop DIR}
case "$1" in
    start)
        "$scripts/cups-test-server" start "$dir/cups" Office Second Europe:A4
        rm -rf "$dir/workbooks"
        /usr/bin/python3 "$scripts/make-workbooks.py" tests "$dir/workbooks"
        ;;
    stop)
        "$scripts/cups-test-server" stop "$dir/cups"
        ;;
    *)
        echo "usage: fixture.sh start|stop DIR" >&2
        exit 2
        ;;
esac
