// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// corvane-print: prints workbooks and folders given on the command line with
// the same walk, engine, printers and numbered print-run steps as the window.
// Returns the exit status.
int RunCorvanePrint(int &argc, char **argv);
