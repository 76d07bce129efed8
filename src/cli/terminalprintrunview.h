// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/runreport.h"
#include "core/printing/printersystem.h"
#include "core/printing/printrunview.h"

#include <QElapsedTimer>
#include <QStringList>

#include <atomic>

// The print run on a terminal: a progress line on standard error when that is
// a terminal (count, current file, elapsed time), nothing otherwise.
class TerminalPrintRunView final : public PrintRunView
{
public:
    // report: where each entry's outcome is recorded, or null.
    TerminalPrintRunView(QStringList entries, QString printer, bool allSheets, const std::atomic<int> &interrupts,
                         RunReport *report = nullptr);

    int entryCount() override;
    QString entry(int i) override;
    QString printerName() override;
    bool printActiveSheet() override;
    bool printAllSheets() override;
    void setProgress(double percent) override;
    void setBusy(bool busy) override;
    bool stopRequested() override;
    bool stopNow() override;
    void workbookStarting(int i, int n, const QString &path) override;
    void stepFailed(int line, const QString &description, EngineError::Kind kind) override;
    void workbookFinished(int i, bool failed) override;
    // The PDF the current workbook was written as.
    void setExported(const QString &pdf);
    // A job of the current workbook the print server took.
    void setPrinted(const PrintedJob &job);
    // How many jobs of the run wait in a paused queue.
    int waitingJobs() const;

    // "entry 3 of 10: PATH" for the workbook under way, so that a log says
    // which workbook a report belongs to; empty before the first.
    QString currentEntry() const;

    // Removes the progress line so other output starts on a clean line.
    void clearLine();

private:
    QStringList m_entries;
    QString m_printer;
    bool m_allSheets;
    const std::atomic<int> &m_interrupts;
    bool m_onTerminal;
    bool m_lineShown = false;
    QString m_current;
    QElapsedTimer m_elapsed;
    RunReport *m_report;
    int m_waitingJobs = 0;
};
