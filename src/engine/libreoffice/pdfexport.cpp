// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/pdfexport.h"

#include "core/printing/engineerror.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

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
    // Hidden, and removed whatever happens, unless it became the PDF.
    QTemporaryFile part(folder + QStringLiteral("/.corvane-XXXXXX.pdf.part"));
    if (!part.open())
        throw EngineError(QStringLiteral("Cannot write in \"%1\": %2").arg(folder, part.errorString()));
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
            const ssize_t written = ::write(part.handle(), block.constData() + done, std::size_t(block.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                throw cannotWrite();
            done += written;
        }
    }
    if (::fsync(part.handle()) != 0)
        throw cannotWrite();
    part.close();

    // The PDF gets the permissions any new file of the user gets.
    ::chmod(QFile::encodeName(part.fileName()).constData(), 0666 & ~currentUmask());

    // A hard link is made only where no file is, so another program's file
    // that took the name meanwhile is never written over.
    const QByteArray from = QFile::encodeName(part.fileName());
    const auto taken = [](const QString &path) {
        struct stat status = {};
        return ::lstat(QFile::encodeName(path).constData(), &status) == 0;
    };
    QString target;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        target = freeName(folder, name, taken);
        if (::link(from.constData(), QFile::encodeName(target).constData()) == 0) {
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
