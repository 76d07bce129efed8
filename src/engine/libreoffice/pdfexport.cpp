// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/pdfexport.h"

#include "core/common/logcategories.h"
#include "core/printing/engineerror.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}

// The PDF being written in the output folder before it has a name. Where the
// file system allows it the file has no name at all until it is linked to
// its own (O_TMPFILE), so a program killed half-way leaves nothing behind; a
// file system without that gets a hidden temporary file, removed unless it
// became the PDF.
class PartFile final
{
public:
    explicit PartFile(const QString &folder)
    {
        const QByteArray path = QFile::encodeName(folder);
        m_fd = ::open(path.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            return;
        m_named = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.corvane-XXXXXX.pdf.part"));
        if (!m_named->open())
            throw EngineError(QStringLiteral("Cannot write in \"%1\": %2").arg(folder, m_named->errorString()));
        m_fd = m_named->handle();
        // The PDF gets the permissions any new file of the user gets.
        if (::fchmod(m_fd, 0666 & ~currentUmask()) != 0)
            qCWarning(lcOffice) << "could not give" << m_named->fileName() << "the user's permissions";
    }
    ~PartFile()
    {
        if (!m_named && m_fd >= 0)
            ::close(m_fd);
    }
    PartFile(const PartFile &) = delete;
    PartFile &operator=(const PartFile &) = delete;

    int fd() const { return m_fd; }

    // Gives the file the name target, only where no file is; false with errno set otherwise.
    bool linkTo(const QString &target) const
    {
        const QByteArray to = QFile::encodeName(target);
        if (m_named)
            return ::link(QFile::encodeName(m_named->fileName()).constData(), to.constData()) == 0;
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
        return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0;
    }

private:
    int m_fd = -1;
    std::unique_ptr<QTemporaryFile> m_named;
};

} // namespace

namespace PdfExport {

QString freeName(const QString &folder, const QString &name, const std::function<bool(const QString &)> &taken)
{
    QString candidate = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
    for (int n = 2; taken(candidate); ++n)
        candidate = folder + QLatin1Char('/') + name + QStringLiteral(" (%1).pdf").arg(n);
    return candidate;
}

QString publish(const QString &rendered, const QString &folder, const QString &name,
                const std::function<void(const QString &pdf)> &exported)
{
    QFile source(rendered);
    if (!source.open(QIODevice::ReadOnly))
        throw EngineError(QStringLiteral("Cannot read what LibreOffice rendered: %1").arg(source.errorString()));
    const PartFile part(folder);
    // Written past Qt's buffer, so that the system's own reason for a failure (a full disk) is what the user reads.
    const auto cannotWrite = [&folder] {
        return EngineError(
            QStringLiteral("Cannot write in \"%1\": %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    };
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 20);
        if (block.isEmpty())
            throw EngineError(QStringLiteral("Cannot read what LibreOffice rendered: %1").arg(source.errorString()));
        for (qsizetype done = 0; done < block.size();) {
            const ssize_t written = ::write(part.fd(), block.constData() + done, std::size_t(block.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw cannotWrite();
            done += written;
        }
    }
    if (::fsync(part.fd()) != 0)
        throw cannotWrite();

    // A hard link is made only where no file is, so another program's file
    // that took the name meanwhile is never written over.
    const auto taken = [](const QString &path) {
        struct stat status = {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
    };
    QString target;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        target = freeName(folder, name, taken);
        if (part.linkTo(target)) {
            if (exported)
                exported(target);
            return target;
        }
        if (errno != EEXIST)
            throw EngineError(
                QStringLiteral("Cannot write \"%1\": %2").arg(target, QString::fromLocal8Bit(std::strerror(errno))));
    }
    throw EngineError(QStringLiteral("No free name for the PDF of \"%1\" in \"%2\".").arg(name, folder));
}

} // namespace PdfExport
