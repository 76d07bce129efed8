// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/logcategories.h"

Q_LOGGING_CATEGORY(lcOffice, "corvane.office", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWorkspace, "corvane.workspace", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCups, "corvane.cups", QtInfoMsg)
Q_LOGGING_CATEGORY(lcRun, "corvane.run", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "corvane.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcShell, "corvane.shell", QtInfoMsg)
