// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/libreoffice/officeworkspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <csignal>

#include <unistd.h>

// What the offices of one program (by its pid) leave: processes, folders in
// the workspace, pipes. Only that program's: another program or office on
// the machine never counts.
namespace OfficeLeftovers {

inline QByteArray pipeMarker(qint64 ownerPid)
{
    return "--accept=pipe,name=corvane-" + QByteArray::number(ownerPid) + '-';
}

// The offices of the program that still run; zombies waiting for their reaper do not count.
inline QList<pid_t> processes(qint64 ownerPid)
{
    QList<pid_t> found;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile commandLine(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!commandLine.open(QIODevice::ReadOnly) || !commandLine.readAll().contains(pipeMarker(ownerPid)))
            continue;
        if (stat.open(QIODevice::ReadOnly) && stat.readAll().split(')').value(1).trimmed().startsWith('Z'))
            continue;
        found.append(pid_t(pid.toInt()));
    }
    return found;
}

inline QStringList of(qint64 ownerPid)
{
    QStringList found;
    for (const pid_t pid : processes(ownerPid))
        found << QStringLiteral("process %1").arg(pid);
    const QString workspace = OfficeWorkspace::defaultLocation();
    for (const QString &name :
         QDir(workspace).entryList({QStringLiteral("office-%1-*").arg(ownerPid)}, QDir::AllEntries | QDir::System))
        found << workspace + QLatin1Char('/') + name;
    for (const QString &name :
         QDir(QStringLiteral("/tmp"))
             .entryList({QStringLiteral("OSL_PIPE_%1_corvane-%2-*").arg(::getuid()).arg(ownerPid)}, QDir::System))
        found << QStringLiteral("/tmp/") + name;
    return found;
}

// The pipes the program's current office has written down in its ledger.
inline QStringList recordedPipes(qint64 ownerPid)
{
    const QString workspace = OfficeWorkspace::defaultLocation();
    const QStringList folders = QDir(workspace).entryList({QStringLiteral("office-%1-*").arg(ownerPid)}, QDir::Dirs);
    QFile ledger(workspace + QLatin1Char('/') + folders.value(0) + QStringLiteral("/ledger"));
    QStringList pipes;
    if (folders.isEmpty() || !ledger.open(QIODevice::ReadOnly))
        return pipes;
    for (const QByteArray &line : ledger.readAll().split('\n')) {
        if (line.startsWith("pipe="))
            pipes << QString::fromUtf8(line.mid(5));
    }
    return pipes;
}

// Whether the program's current office listens on the pipe it was given,
// the last thing it does before it answers.
inline bool answering(qint64 ownerPid)
{
    const QStringList pipes = recordedPipes(ownerPid);
    return !pipes.isEmpty() && QFileInfo::exists(pipes.first());
}

// Stops or resumes every office of the program.
inline void signalAll(qint64 ownerPid, int signal)
{
    for (const pid_t pid : processes(ownerPid))
        ::kill(pid, signal);
}

} // namespace OfficeLeftovers
