// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officeworkspace.h"

#include "core/common/logcategories.h"
#include "core/printing/engineerror.h"
#include "engine/libreoffice/officefolder.h"
#include "engine/libreoffice/officeledger.h"
#include "engine/libreoffice/officepipes.h"
#include "engine/libreoffice/officeregistry.h"
#include "engine/libreoffice/runningprocesses.h"
#include "engine/libreoffice/saferemoval.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder that a program has made but not yet locked and written its ledger to.
constexpr int youngFolderSeconds = 60;
constexpr auto officeEndBound = std::chrono::seconds(3);

bool isPrivateFolderOfThisUser(const struct stat &info)
{
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid();
}

QByteArray readLedger(int folderFd)
{
    const int fd = ::openat(folderFd, "ledger", O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray text;
    char buffer[4096];
    while (text.size() < 65536) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buffer, int(got));
    }
    ::close(fd);
    return text;
}

// Kills the processes of the office the ledger describes, found by the pipe
// argument they were all started with, and waits a short while for them to
// go. Returns the pipes they listened on: an owner killed early had no time
// to write them all down.
QStringList endOffice(const OfficeLedger &ledger)
{
    QStringList pipes = OfficePipes::listenedBy(RunningProcesses::ofThisUserWithArgument(ledger.acceptArgument()));
    RunningProcesses::killAllWithArgument(ledger.acceptArgument(), officeEndBound,
                                          [] { return OfficeRegistry::stopRequested(); });
    return pipes;
}

} // namespace

QString OfficeWorkspace::defaultLocation()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat info = {};
    if (runtime.startsWith('/') && ::lstat(runtime.constData(), &info) == 0 && isPrivateFolderOfThisUser(info)
        && (info.st_mode & 077) == 0)
        return QFile::decodeName(runtime) + QStringLiteral("/corvane");
    return fallbackLocation();
}

QString OfficeWorkspace::fallbackLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/corvane/run");
}

OfficeWorkspace::OfficeWorkspace(QString location)
    : m_path(std::move(location))
{
    const QByteArray native = QFile::encodeName(m_path);
    QDir().mkpath(QFileInfo(m_path).path());
    ::mkdir(native.constData(), 0700);
    struct stat named = {};
    struct stat opened = {};
    m_fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0 || ::lstat(native.constData(), &named) != 0 || ::fstat(m_fd, &opened) != 0
        || !isPrivateFolderOfThisUser(opened) || named.st_ino != opened.st_ino || named.st_dev != opened.st_dev) {
        if (m_fd >= 0)
            ::close(m_fd);
        throw EngineError(QStringLiteral("The folder %1 cannot hold LibreOffice's work: it is not a folder of "
                                         "your own.")
                              .arg(m_path));
    }
    if ((opened.st_mode & 077) != 0)
        ::fchmod(m_fd, 0700);
}

OfficeWorkspace::~OfficeWorkspace()
{
    ::close(m_fd);
}

const QString &OfficeWorkspace::path() const
{
    return m_path;
}

std::unique_ptr<OfficeFolder> OfficeWorkspace::createOfficeFolder()
{
    return std::make_unique<OfficeFolder>(m_fd, m_path);
}

void OfficeWorkspace::removeAbandoned()
{
    const int listFd = ::dup(m_fd);
    DIR *listing = listFd < 0 ? nullptr : ::fdopendir(listFd);
    if (!listing) {
        if (listFd >= 0)
            ::close(listFd);
        return;
    }
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(listing)) {
        if (std::strncmp(entry->d_name, "office-", 7) == 0)
            names.append(QByteArray(entry->d_name));
    }
    ::closedir(listing);
    for (const QByteArray &name : names)
        removeIfAbandoned(name);
}

void OfficeWorkspace::removeIfAbandoned(const QByteArray &name)
{
    struct stat info = {};
    if (::fstatat(m_fd, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !isPrivateFolderOfThisUser(info))
        return;
    const int folderFd = ::openat(m_fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0)
        return;
    // The owner holds the lock as long as it lives.
    if (::flock(folderFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(folderFd);
        return;
    }
    const std::optional<OfficeLedger> ledger = OfficeLedger::fromText(readLedger(folderFd));
    const bool young = ::time(nullptr) - info.st_mtime < youngFolderSeconds;
    const bool ownerLives
        = ledger && ledger->ownerStart != 0 && RunningProcesses::startTimeOf(ledger->ownerPid) == ledger->ownerStart;
    if ((!ledger && young) || ownerLives) {
        ::close(folderFd);
        return;
    }
    if (ledger) {
        const QStringList listened = endOffice(*ledger);
        if (!RunningProcesses::ofThisUserWithArgument(ledger->acceptArgument()).isEmpty()) {
            ::close(folderFd); // still there: its files stay until it has gone
            return;
        }
        for (const QString &pipe : ledger->pipes + listened)
            SafeRemoval::removeOfficePipe(pipe);
    }
    qCDebug(lcWorkspace).noquote() << "removing the abandoned office folder" << m_path + QLatin1Char('/')
                                   << QString::fromUtf8(name);
    SafeRemoval::removeTreeAt(m_fd, name);
    ::close(folderFd);
}
