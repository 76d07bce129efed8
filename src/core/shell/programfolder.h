// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The folder that holds the program's data files ("drag.ico", "Samples",
// "Video", the skin folder "x"): ../share/corvane beside an installed
// program, the program's own folder in a build tree. No trailing "/" except
// for the root folder.
QString ProgramFolder(const QString &executableFolder);
