// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/services/shellopen.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QTimer>
#include <QUrl>

#include <vector>

#include <sys/types.h>

// Opens targets through the desktop's own association (xdg-open), with the
// target as a single argument: no shell ever sees it. The opener is watched
// from the window's event loop, never waited for: when it gives up within
// reportWithinMs, the caller is told; one still running by then has found a
// program and is left alone, and it outlives the program if need be. What the
// opener writes goes to the corvane.shell log, never to standard error.
class DesktopShellOpen final : public ShellOpen
{
public:
    // opener: the program that hands a target on to the desktop.
    explicit DesktopShellOpen(QByteArray opener = QByteArrayLiteral("xdg-open"));
    ~DesktopShellOpen() override;
    DesktopShellOpen(const DesktopShellOpen &) = delete;
    DesktopShellOpen &operator=(const DesktopShellOpen &) = delete;

    void open(const QString &target, Failed failed) override;

    // A web or mail address as it is; anything else is a local path.
    static QUrl urlFor(const QString &target);

    static constexpr int reportWithinMs = 10000;

private:
    struct Opener
    {
        pid_t pid;
        Failed failed;
        QDeadlineTimer reportUntil;
        int output; // what it writes, read into the log when it ends; -1 if none
        QByteArray target;
    };
    void reap();

    QByteArray m_opener;
    std::vector<Opener> m_openers;
    QTimer m_reaper;
};
