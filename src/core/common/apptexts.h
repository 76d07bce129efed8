// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Texts every part of the program shares: the title its messages carry and the
// settings file they all keep their values in.
namespace AppTexts {

inline QString appTitle()
{
    return QStringLiteral("Corvane");
}

inline QString settingsApplication()
{
    return QStringLiteral("Tenvara");
}
inline QString settingsSection()
{
    return QStringLiteral("Corvane");
}

} // namespace AppTexts
