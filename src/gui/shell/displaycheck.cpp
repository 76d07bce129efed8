// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/displaycheck.h"

#include <QtGlobal>

bool HasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QString NoDisplayMessage(const QString &programPath)
{
    return QStringLiteral("Corvane needs a display and none was found; to start it on a virtual one, run: "
                          "xvfb-run -a ")
        + programPath;
}
