// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/terminalprintrunview.h"

#include <cstdio>

#include <unistd.h>

TerminalPrintRunView::TerminalPrintRunView(QStringList entries, QString printer, bool allSheets,
                                           const std::atomic<int> &interrupts, RunReport *report)
    : m_entries(std::move(entries))
    , m_printer(std::move(printer))
    , m_allSheets(allSheets)
    , m_interrupts(interrupts)
    , m_onTerminal(::isatty(STDERR_FILENO))
    , m_report(report)
{
    m_elapsed.start();
}

int TerminalPrintRunView::entryCount()
{
    return int(m_entries.size());
}

QString TerminalPrintRunView::entry(int i)
{
    return m_entries.at(i - 1);
}

QString TerminalPrintRunView::printerName()
{
    return m_printer;
}

bool TerminalPrintRunView::printActiveSheet()
{
    return !m_allSheets;
}

bool TerminalPrintRunView::printAllSheets()
{
    return m_allSheets;
}

void TerminalPrintRunView::setProgress(double) {}

void TerminalPrintRunView::setBusy(bool) {}

bool TerminalPrintRunView::stopRequested()
{
    return m_interrupts.load() > 0;
}

bool TerminalPrintRunView::stopNow()
{
    return m_interrupts.load() >= 2;
}

QString TerminalPrintRunView::currentEntry() const
{
    return m_current;
}

void TerminalPrintRunView::workbookStarting(int i, int n, const QString &path)
{
    m_current = QStringLiteral("entry %1 of %2: %3").arg(i).arg(n).arg(path);
    if (m_report)
        m_report->workbookStarting(i, path);
    if (!m_onTerminal)
        return;
    const qint64 seconds = m_elapsed.elapsed() / 1000;
    QString line = QStringLiteral("[%1/%2 %3:%4] %5")
                       .arg(i)
                       .arg(n)
                       .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                       .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                       .arg(path);
    constexpr int width = 100;
    if (line.size() > width)
        line = line.left(20) + QStringLiteral("...") + line.right(width - 23);
    std::fprintf(stderr, "\r\033[K%s", line.toLocal8Bit().constData());
    std::fflush(stderr);
    m_lineShown = true;
}

void TerminalPrintRunView::clearLine()
{
    if (!m_lineShown)
        return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    m_lineShown = false;
}

void TerminalPrintRunView::stepFailed(int line, const QString &description, EngineError::Kind kind)
{
    if (m_report)
        m_report->stepFailed(line, description, kind);
}

void TerminalPrintRunView::workbookFinished(int i, bool failed)
{
    if (m_report)
        m_report->workbookFinished(i, failed, m_printer);
}

void TerminalPrintRunView::setPrinted(const PrintedJob &job)
{
    // Recorded before anything else: the job prints whatever happens next.
    if (m_report)
        m_report->jobAccepted(job.id, job.more, m_printer);
    if (job.waiting.isEmpty())
        return;
    ++m_waitingJobs;
    clearLine();
    std::fprintf(stderr, "corvane-print: %s\n", job.waiting.toLocal8Bit().constData());
}

int TerminalPrintRunView::waitingJobs() const
{
    return m_waitingJobs;
}

void TerminalPrintRunView::setExported(const QString &pdf)
{
    if (m_report)
        m_report->exported(pdf);
}
