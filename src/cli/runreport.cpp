// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/runreport.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// A file just made is not on the disk until its folder's entry is.
void syncFolderOf(const QString &file)
{
    const int fd
        = ::open(QFile::encodeName(QFileInfo(file).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

RunReport::RunReport(std::function<qint64()> clockMs)
    : m_clockMs(clockMs ? std::move(clockMs) : std::function<qint64()>(steadyMs))
{}

bool RunReport::open(const QString &target, QString &error)
{
    m_named = target != QLatin1String("-");
    const bool opened = m_named
        ? (m_file.setFileName(target), m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        : (std::fflush(stdout), m_file.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered));
    if (!opened) {
        error = QStringLiteral("cannot write the report \"%1\": %2").arg(target, m_file.errorString());
        return false;
    }
    writeRow({QStringLiteral("entry"), QStringLiteral("path"), QStringLiteral("outcome"), QStringLiteral("failed_line"),
              QStringLiteral("failure"), QStringLiteral("printer"), QStringLiteral("cups_job_id"),
              QStringLiteral("seconds")});
    if (!m_writeError.isEmpty()) {
        error = QStringLiteral("cannot write the report \"%1\": %2").arg(target, m_writeError);
        return false;
    }
    if (m_named)
        syncFolderOf(target);
    return true;
}

bool RunReport::isOpen() const
{
    return m_file.isOpen();
}

QString RunReport::writeError() const
{
    return m_writeError;
}

qint64 RunReport::now() const
{
    return m_clockMs();
}

void RunReport::officeStarting(int i)
{
    const qint64 at = now();
    const std::lock_guard lock(m_startsMutex);
    m_officeStarts.try_emplace(i, at);
}

void RunReport::workbookStarting(int i, const QString &path)
{
    m_entry = i;
    m_path = path;
    m_failedLine = 0;
    m_failure.clear();
    m_failureKind = EngineError::Kind::Failed;
    m_outcome.clear();
    m_printer.clear();
    m_jobs.clear();
    m_startedMs = now();
    // An office started ahead of the entry's turn: its time counts too.
    const std::lock_guard lock(m_startsMutex);
    const auto found = m_officeStarts.find(i);
    if (found != m_officeStarts.end())
        m_startedMs = std::min(m_startedMs, found->second);
    // What came for this entry or an earlier one once its turn began is of no more use.
    m_officeStarts.erase(m_officeStarts.begin(), m_officeStarts.upper_bound(i));
}

void RunReport::stepFailed(int line, const QString &description, EngineError::Kind kind)
{
    // The first failure is the cause; the later ones of a workbook follow from it.
    if (m_failedLine == 0) {
        m_failedLine = line;
        m_failure = description;
        m_failureKind = kind;
    }
}

void RunReport::jobAccepted(int job, bool more, const QString &printer)
{
    if (!isOpen() || m_entry == 0)
        return;
    m_jobs.append(QString::number(job));
    writeEntryRow(more ? QStringLiteral("printed in part") : QStringLiteral("printed"), printer);
}

void RunReport::exported(const QString &pdf)
{
    if (isOpen() && m_entry != 0)
        writeEntryRow(QStringLiteral("exported"), pdf);
}

void RunReport::workbookFinished(int i, bool failed, const QString &printer)
{
    if (!isOpen() || i != m_entry)
        return;
    const bool written = !m_outcome.isEmpty();
    // A row already says all there is, unless something failed since.
    if (written && m_failedLine == 0 && !failed) {
        m_entry = 0;
        return;
    }
    if (failed && m_failedLine == 0)
        m_failure = QStringLiteral("Stopped before the workbook was done.");
    // A job that went whole to CUPS unconfirmed is neither printed nor failed.
    const QString outcome = m_failureKind == EngineError::Kind::MayHavePrinted ? QStringLiteral("may have printed")
        : written                                                              ? m_outcome
        : failed                                                               ? QStringLiteral("failed")
                                                                               : QStringLiteral("printed");
    writeEntryRow(outcome, written ? m_printer : printer);
    m_entry = 0;
}

void RunReport::writeEntryRow(const QString &outcome, const QString &printer)
{
    writeRow({QString::number(m_entry), m_path, outcome, m_failedLine > 0 ? QString::number(m_failedLine) : QString(),
              m_failure, printer, m_jobs.join(QLatin1Char(' ')),
              QString::number(double(now() - m_startedMs) / 1000.0, 'f', 2)});
    m_outcome = outcome;
    m_printer = printer;
    m_failedLine = 0;
    m_failure.clear();
    m_failureKind = EngineError::Kind::Failed;
}

void RunReport::notStarted(int i, const QString &path)
{
    if (isOpen())
        writeRow({QString::number(i), path, QStringLiteral("not started"), QString(), QString(), QString(), QString(),
                  QString()});
}

void RunReport::noWorkbook(const QString &folder, const QString &reason)
{
    if (isOpen())
        writeRow(
            {QString(), folder, QStringLiteral("no workbook"), QString(), reason, QString(), QString(), QString()});
}

QString RunReport::field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void RunReport::writeRow(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &text : fields)
        quoted << field(text);
    if (!m_writeError.isEmpty())
        return;
    const QByteArray row = (quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n")).toUtf8();
    // Written straight to the file: a full disk shows at this row, with the
    // system's reason, and not when some buffer happens to be flushed.
    const int fd = m_file.handle();
    const off_t before = m_named ? ::lseek(fd, 0, SEEK_CUR) : -1;
    qsizetype done = 0;
    while (done < row.size()) {
        const ssize_t written = ::write(fd, row.constData() + done, std::size_t(row.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_writeError = QString::fromLocal8Bit(std::strerror(written < 0 ? errno : ENOSPC));
            // Part of a row would read as a whole one with other values.
            if (before >= 0 && ::ftruncate(fd, before) == 0)
                ::lseek(fd, before, SEEK_SET);
            return;
        }
        done += written;
    }
    // On the disk before the run goes on; a pipe or a terminal has no disk.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP)
        m_writeError = QString::fromLocal8Bit(std::strerror(errno));
}
