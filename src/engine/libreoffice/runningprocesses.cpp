// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/runningprocesses.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

namespace RunningProcesses {

namespace {

// The fields of /proc/PID/stat after the name, which is in parentheses and
// may hold blanks and parentheses itself: [0] is the state.
QList<QByteArray> fieldsAfterName(const QByteArray &stat)
{
    const qsizetype close = stat.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>() : stat.mid(close + 1).trimmed().split(' ');
}

} // namespace

QByteArray Process::read(const char *file) const
{
    QFile content(folder + QLatin1Char('/') + QLatin1String(file));
    return content.open(QIODevice::ReadOnly) ? content.readAll() : QByteArray();
}

bool Process::isZombie() const
{
    return fieldsAfterName(read("stat")).value(0).startsWith('Z');
}

uid_t Process::owner() const
{
    struct stat info = {};
    return ::stat(QFile::encodeName(folder).constData(), &info) == 0 ? info.st_uid : uid_t(-1);
}

pid_t Process::processGroup() const
{
    return pid_t(fieldsAfterName(read("stat")).value(2).toInt());
}

quint64 Process::startTime() const
{
    return fieldsAfterName(read("stat")).value(19).toULongLong();
}

void forEach(const std::function<bool(const Process &)> &visit)
{
    const QStringList names = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        bool isNumber = false;
        const pid_t pid = name.toInt(&isNumber);
        if (isNumber && !visit({pid, QStringLiteral("/proc/") + name}))
            return;
    }
}

quint64 startTimeOf(pid_t pid)
{
    if (pid <= 0)
        return 0;
    return Process{pid, QStringLiteral("/proc/%1").arg(pid)}.startTime();
}

QList<pid_t> ofThisUserWithArgument(const QByteArray &argument)
{
    QList<pid_t> found;
    forEach([&](const Process &process) {
        if (process.owner() == ::getuid() && !process.isZombie()
            && process.commandLine().split('\0').contains(argument))
            found.append(process.pid);
        return true;
    });
    return found;
}

bool killAllWithArgument(const QByteArray &argument, std::chrono::milliseconds bound,
                         const std::function<bool()> &giveUp)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        const QList<pid_t> left = ofThisUserWithArgument(argument);
        if (left.isEmpty())
            return true;
        if (std::chrono::steady_clock::now() >= deadline || (giveUp && giveUp()))
            return false;
        for (const pid_t pid : left)
            ::kill(pid, SIGKILL);
        // A killed process leaves /proc only once its parent has reaped it.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace RunningProcesses
