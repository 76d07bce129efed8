// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineerror.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <mutex>

// The record of a run as CSV (RFC 4180, UTF-8, a header row), written as the
// run goes, each row flushed to the disk before the run does anything more.
// A workbook's row is written the moment the print server took its job (or
// its PDF got its name), so that what the record shows as printed was handed
// over and what it does not show was not, whatever ends the program. A
// failure after that (closing, quitting) adds a row for the same entry that
// keeps its outcome; an entry's last row is what became of it.
class RunReport final
{
public:
    // clockMs: a steady clock in milliseconds, for the seconds column.
    explicit RunReport(std::function<qint64()> clockMs = {});

    // Opens target ("-": standard output), replacing what it held, and writes
    // the header. False, with error, when it cannot be written.
    bool open(const QString &target, QString &error);
    bool isOpen() const;
    // Why a row could not be written (a full disk, an I/O error), or an
    // empty text while every row got through. After a failure no more rows
    // are written: the record stays a true one, only shorter.
    QString writeError() const;

    // The office of entry i starts, maybe ahead of the entry's turn and on
    // another thread: its seconds count from the first such moment.
    void officeStarting(int i);
    void workbookStarting(int i, const QString &path);
    void stepFailed(int line, const QString &description, EngineError::Kind kind);
    // The print server took job `job` of the current workbook, on printer;
    // more: further jobs of the workbook follow.
    void jobAccepted(int job, bool more, const QString &printer);
    // The current workbook was written as the PDF pdf.
    void exported(const QString &pdf);
    // printer: what the workbook was printed on, for a row not yet written.
    void workbookFinished(int i, bool failed, const QString &printer);
    // An entry the run never came to, as when it was declined.
    void notStarted(int i, const QString &path);
    // A folder of the list that gave no workbook to print, and why.
    void noWorkbook(const QString &folder, const QString &reason);

    static QString field(const QString &text);

private:
    // A row of the current workbook with outcome, and what failed since its last row.
    void writeEntryRow(const QString &outcome, const QString &printer);
    void writeRow(const QStringList &fields);
    qint64 now() const;

    std::function<qint64()> m_clockMs;
    QFile m_file;
    QString m_writeError;
    bool m_named = false; // a file of its own, not standard output
    int m_entry = 0;
    QString m_path;
    int m_failedLine = 0;
    QString m_failure;
    EngineError::Kind m_failureKind = EngineError::Kind::Failed;
    // What the entry's last row said, empty before its first.
    QString m_outcome;
    QString m_printer;
    QStringList m_jobs;
    qint64 m_startedMs = 0;
    std::mutex m_startsMutex;
    std::map<int, qint64> m_officeStarts;
};
