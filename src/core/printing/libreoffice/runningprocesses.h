#pragma once

#include <QByteArray>
#include <QString>

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
};

// Calls visit for every process until it returns false.
void forEach(const std::function<bool(const Process &)> &visit);

} // namespace RunningProcesses
