// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/officefolder.h"

#include "core/printing/engineerror.h"
#include "engine/libreoffice/saferemoval.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

OfficeFolder::OfficeFolder(int workspaceFd, const QString &workspacePath)
{
    QByteArray pattern = QFile::encodeName(workspacePath + QStringLiteral("/office-%1-XXXXXX").arg(::getpid()));
    if (!::mkdtemp(pattern.data()))
        throw EngineError(
            QStringLiteral("Could not create a folder for LibreOffice in %1: %2").arg(workspacePath, systemError()));
    m_path = QFile::decodeName(pattern);
    m_workspaceFd = ::fcntl(workspaceFd, F_DUPFD_CLOEXEC, 0);
    m_fd
        = ::openat(workspaceFd, QFile::encodeName(name()).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    // Held until the folder is gone; another program that cannot take it
    // knows the folder is in use.
    if (m_workspaceFd < 0 || m_fd < 0 || ::flock(m_fd, LOCK_EX) != 0) {
        const QString reason = systemError();
        if (m_workspaceFd >= 0)
            SafeRemoval::removeTreeAt(m_workspaceFd, QFile::encodeName(name()));
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_workspaceFd >= 0)
            ::close(m_workspaceFd);
        throw EngineError(QStringLiteral("Could not use the folder %1 for LibreOffice: %2").arg(m_path, reason));
    }
}

OfficeFolder::~OfficeFolder()
{
    for (const QString &pipe : m_ledger.pipes)
        SafeRemoval::removeOfficePipe(pipe);
    SafeRemoval::removeTreeAt(m_workspaceFd, QFile::encodeName(name()));
    ::close(m_fd);
    ::close(m_workspaceFd);
}

QString OfficeFolder::path() const
{
    return m_path;
}

QString OfficeFolder::name() const
{
    return QFileInfo(m_path).fileName();
}

void OfficeFolder::writeLedger(const OfficeLedger &ledger)
{
    const QByteArray text = ledger.toText();
    const int fd = ::openat(m_fd, "ledger.new", O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    bool written = fd >= 0;
    for (qsizetype done = 0; written && done < text.size();) {
        const ssize_t put = ::write(fd, text.constData() + done, std::size_t(text.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        written = put > 0;
        done += put > 0 ? put : 0;
    }
    if (fd >= 0)
        written = ::close(fd) == 0 && written;
    if (!written || ::renameat(m_fd, "ledger.new", m_fd, "ledger") != 0)
        throw EngineError(QStringLiteral("Could not write the ledger of the folder %1: %2").arg(m_path, systemError()));
    m_ledger = ledger;
}

const OfficeLedger &OfficeFolder::ledger() const
{
    return m_ledger;
}
