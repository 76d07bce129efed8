// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// What the program tells of its own work, for finding out why something went
// wrong; silent unless asked for (corvane-print --verbose, or for any of
// the programs QT_LOGGING_RULES="corvane.*.debug=true", or one category).
Q_DECLARE_LOGGING_CATEGORY(lcOffice)    // corvane.office: each LibreOffice's start, calls and end
Q_DECLARE_LOGGING_CATEGORY(lcWorkspace) // corvane.workspace: the private folders and the profile template
Q_DECLARE_LOGGING_CATEGORY(lcCups)      // corvane.cups: printers, queues and jobs
Q_DECLARE_LOGGING_CATEGORY(lcRun)       // corvane.run: the print run's steps
Q_DECLARE_LOGGING_CATEGORY(lcSettings)  // corvane.settings: the settings file
Q_DECLARE_LOGGING_CATEGORY(lcShell)     // corvane.shell: what the desktop's opener said
