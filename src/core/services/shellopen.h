// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// Hands a path or a web address to the desktop, which opens it with the
// user's program for it. The program does not wait for that program.
class ShellOpen
{
public:
    // Called once, on the thread that asked, when the desktop could not open
    // the target; possibly after open() has returned.
    using Failed = std::function<void()>;

    virtual ~ShellOpen() = default;
    // failed may be empty when nobody is to be told.
    virtual void open(const QString &target, Failed failed) = 0;
};
