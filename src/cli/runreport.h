// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>

// The record of a run as CSV (RFC 4180, UTF-8, a header row): one row per
// entry, written when the entry is done with and flushed at once, so that the
// file is complete up to the workbook under way when the run was killed.
class RunReport final
{
public:
    // Opens target ("-": standard output), replacing what it held, and writes
    // the header. False, with error, when it cannot be written.
    bool open(const QString &target, QString &error);
    bool isOpen() const;
    // Why a row could not be written (a full disk, an I/O error), or an
    // empty text while every row got through. After a failure no more rows
    // are written: the record stays a true one, only shorter.
    QString writeError() const;

    void workbookStarting(int i, const QString &path);
    void stepFailed(int line, const QString &description);
    // printer: the printer, or the PDF written when exported; job: the
    // print server's id of the job, 0 for none.
    void workbookFinished(int i, bool failed, const QString &printer, bool exported = false, int job = 0);
    // An entry the run never came to, as when it was declined.
    void notStarted(int i, const QString &path);

    static QString field(const QString &text);

private:
    void writeRow(const QStringList &fields);

    QFile m_file;
    QString m_writeError;
    bool m_named = false; // a file of its own, not standard output
    int m_entry = 0;
    QString m_path;
    int m_failedLine = 0;
    QString m_failure;
    QElapsedTimer m_timer;
};
