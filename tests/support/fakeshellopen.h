// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "services/shellopen.h"

#include <QStringList>

// Records every target handed to the desktop.
class FakeShellOpen final : public ShellOpen
{
public:
    void open(const QString &target) override { opened.append(target); }
    QStringList opened;
};
