#include "runningprocesses.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace RunningProcesses {

QByteArray Process::read(const char *file) const
{
    QFile content(folder + QLatin1Char('/') + QLatin1String(file));
    return content.open(QIODevice::ReadOnly) ? content.readAll() : QByteArray();
}

bool Process::isZombie() const
{
    // The state follows the name, which is in parentheses and may hold blanks.
    return read("stat").split(')').value(1).trimmed().startsWith('Z');
}

uid_t Process::owner() const
{
    struct stat info{};
    return ::stat(QFile::encodeName(folder).constData(), &info) == 0 ? info.st_uid : uid_t(-1);
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

} // namespace RunningProcesses
