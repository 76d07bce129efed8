// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/shellopen.h"

#include <QUrl>

// Opens targets through the desktop's own association (xdg-open), with the
// target as a single argument: no shell ever sees it.
class DesktopShellOpen final : public ShellOpen
{
public:
    void open(const QString &target) override;

    // A web or mail address as it is; anything else is a local path.
    static QUrl urlFor(const QString &target);
};
