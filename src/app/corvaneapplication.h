// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// Builds the real platform services and the main window, shows it and runs
// until the window closes. Returns the program's exit status.
int RunCorvane(int &argc, char **argv);

// The paths among the program's arguments (paths or file:// URLs of this
// machine, as a file manager hands them over), made absolute, in order.
QStringList StartupPaths(const QStringList &arguments);
