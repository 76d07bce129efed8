// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Texts of the main window and of the settings keys it keeps, spelled as the user sees them.
namespace ShellTexts {

inline QString filesTab()
{
    return QStringLiteral("Files");
}
inline QString optionsTab()
{
    return QStringLiteral("Options");
}

inline QString keyTab()
{
    return QStringLiteral("TabControl1");
}
inline QString keyLeft()
{
    return QStringLiteral("Left");
}
inline QString keyTop()
{
    return QStringLiteral("Top");
}
inline QString keyWidth()
{
    return QStringLiteral("Width");
}
inline QString keyHeight()
{
    return QStringLiteral("Height");
}

// engineName: the spreadsheet engine's display name.
inline QString engineMissing(const QString &engineName)
{
    return engineName
        + QStringLiteral(" is not installed on this computer. You need to have it installed to use this "
                         "software without error.");
}

inline QString skinFile()
{
    return QStringLiteral("x/o.cjs");
}

} // namespace ShellTexts
