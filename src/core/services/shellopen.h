// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Hands a path or a web address to the desktop, which opens it with the
// user's program for it. The program neither waits for nor watches it.
class ShellOpen
{
public:
    virtual ~ShellOpen() = default;
    virtual void open(const QString &target) = 0;
};
