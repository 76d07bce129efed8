// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/runreport.h"

#include "core/printing/printingtexts.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <unistd.h>

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

void RunReport::workbookStarting(int i, const QString &path)
{
    m_entry = i;
    m_path = path;
    m_failedLine = 0;
    m_failure.clear();
    m_timer.start();
}

void RunReport::stepFailed(int line, const QString &description)
{
    // The first failure is the cause; the later ones of a workbook follow from it.
    if (m_failedLine == 0) {
        m_failedLine = line;
        m_failure = description;
    }
}

void RunReport::workbookFinished(int i, bool failed, const QString &printer, bool exported, int job)
{
    if (!isOpen() || i != m_entry)
        return;
    if (failed && m_failedLine == 0)
        m_failure = QStringLiteral("Stopped before the workbook was done.");
    // A job that went whole to CUPS unconfirmed is neither printed nor failed.
    const bool uncertain = failed && m_failure.contains(PrintingTexts::mayHavePrinted());
    writeRow({QString::number(i), m_path,
              uncertain      ? QStringLiteral("may have printed")
                  : failed   ? QStringLiteral("failed")
                  : exported ? QStringLiteral("exported")
                             : QStringLiteral("printed"),
              m_failedLine > 0 ? QString::number(m_failedLine) : QString(), failed ? m_failure : QString(), printer,
              job > 0 ? QString::number(job) : QString(), QString::number(double(m_timer.elapsed()) / 1000.0, 'f', 2)});
    m_entry = 0;
}

void RunReport::notStarted(int i, const QString &path)
{
    if (isOpen())
        writeRow({QString::number(i), path, QStringLiteral("not started"), QString(), QString(), QString(), QString(),
                  QString()});
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
}
