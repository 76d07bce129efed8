// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officepipes.h"

#include "engine/libreoffice/runningprocesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <unistd.h>

namespace OfficePipes {

QString pipeFolder()
{
    return ::access("/tmp", W_OK) == 0 ? QStringLiteral("/tmp") : QStringLiteral("/var/tmp");
}

QString prefix()
{
    return QStringLiteral("OSL_PIPE_%1_").arg(::getuid());
}

QString pathFor(const QString &pipeName)
{
    return pipeFolder() + QLatin1Char('/') + prefix() + pipeName;
}

bool isPipePathOfThisUser(const QString &path)
{
    const QFileInfo info(path);
    const QString folder = info.path();
    return (folder == QLatin1String("/tmp") || folder == QLatin1String("/var/tmp"))
        && info.fileName().startsWith(prefix()) && !info.fileName().contains(QLatin1String(".."));
}

QStringList listenedBy(const QList<pid_t> &processes)
{
    QSet<QByteArray> inodes;
    for (const pid_t pid : processes) {
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char target[64] = {};
            const ssize_t length
                = ::readlink(QFile::encodeName(fds.filePath(fd)).constData(), target, sizeof(target) - 1);
            const QByteArray link(target, length > 0 ? int(length) : 0);
            if (link.startsWith("socket:[") && link.endsWith(']'))
                inodes.insert(link.mid(8).chopped(1));
        }
    }
    QStringList paths;
    if (inodes.isEmpty())
        return paths;
    // Num RefCount Protocol Flags Type St Inode Path
    QFile table(QStringLiteral("/proc/net/unix"));
    if (!table.open(QIODevice::ReadOnly))
        return paths;
    table.readLine();
    while (!table.atEnd()) {
        const QList<QByteArray> fields = table.readLine().simplified().split(' ');
        if (fields.size() >= 8 && inodes.contains(fields[6])) {
            const QString path = QFile::decodeName(fields[7]);
            if (isPipePathOfThisUser(path) && !paths.contains(path))
                paths.append(path);
        }
    }
    return paths;
}

QStringList listenedByGroup(pid_t group)
{
    QList<pid_t> members;
    RunningProcesses::forEach([&](const RunningProcesses::Process &process) {
        if (process.processGroup() == group && process.owner() == ::getuid())
            members.append(process.pid);
        return true;
    });
    return listenedBy(members);
}

} // namespace OfficePipes
