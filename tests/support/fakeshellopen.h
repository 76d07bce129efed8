// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/shellopen.h"

#include <QStringList>

// Records every target handed to the desktop; a desktop with no program for
// any target when `fails` is set.
class FakeShellOpen final : public ShellOpen
{
public:
    void open(const QString &target, Failed failed) override
    {
        opened.append(target);
        if (fails && failed)
            failed();
    }
    QStringList opened;
    bool fails = false;
};
