// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <functional>

#include <sys/types.h>

// The processes of the system as /proc shows them, for finding offices.
namespace RunningProcesses {

struct Process
{
    pid_t pid;
    QString folder; // its folder in /proc

    QByteArray read(const char *file) const;
    // The command line, arguments separated by NUL characters.
    QByteArray commandLine() const { return read("cmdline"); }
    // Whether it has ended and only waits to be reaped.
    bool isZombie() const;
    uid_t owner() const;
    pid_t processGroup() const;
    // Clock ticks after boot; with the pid it names one process for good.
    quint64 startTime() const;
};

// Calls visit for every process until it returns false.
void forEach(const std::function<bool(const Process &)> &visit);

// The start time of pid, or 0 when no such process runs.
quint64 startTimeOf(pid_t pid);

// The live processes of this user that were given exactly this argument.
QList<pid_t> ofThisUserWithArgument(const QByteArray &argument);

// Kills them until none is left, for at most `bound` or until giveUp says
// so. Returns whether none is left.
bool killAllWithArgument(const QByteArray &argument, std::chrono::milliseconds bound,
                         const std::function<bool()> &giveUp = {});

} // namespace RunningProcesses
