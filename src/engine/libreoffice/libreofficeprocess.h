// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>
#include <mutex>

#include <sys/types.h>

class OfficeFolder;
class OfficeLauncher;
class OfficeWorkspace;

// One running LibreOffice of our own: a process group of its own, a folder
// of its own in the program's workspace (a private copy of the profile, its
// temporary folder, the ledger) and a pipe with a unique name to reach it.
// It never attaches to a LibreOffice the user runs. Destroying it ends the
// whole group and removes everything it left behind.
class LibreOfficeProcess final
{
public:
    // Throws EngineError when the program cannot be started, or when a stop
    // was requested. The launcher starts it, and the office ends with it.
    LibreOfficeProcess(const QString &program, const QString &profileTemplate, OfficeWorkspace &workspace,
                       OfficeLauncher &launcher);
    ~LibreOfficeProcess();

    LibreOfficeProcess(const LibreOfficeProcess &) = delete;
    LibreOfficeProcess &operator=(const LibreOfficeProcess &) = delete;

    // The address the UNO URL resolver connects to.
    QString connectUrl() const;
    // The pipe the office listens on once it is ready to be reached.
    QString pipePath() const;
    pid_t processGroup() const;
    QString profileFolder() const;
    // The office's own folder, removed with it.
    QString folderPath() const;

    // The last lines (at most lines of them) of what the office wrote on its
    // standard output and error, for a report of why it ended.
    QString outputTail(int lines) const;

    // Writes down the pipes the office listens on, so that they can be
    // removed even if this program is killed. Returns how many are known.
    int recordPipes();

    bool isRunning();
    // The memory the office holds (its resident set), in bytes; 0 when not known.
    quint64 residentBytes() const;
    // Waits up to milliseconds for the process to end by itself; a stop
    // request cuts the wait short.
    bool waitForExit(int milliseconds);
    // Ends the whole process group at once and reaps it.
    void kill();

    // Marks every instance of ours in its command line, so that ours are never
    // taken for the user's LibreOffice.
    static QString pipePrefix();

    // The longest kill() waits for a killed office to be reaped.
    static constexpr int reapBoundMs = 2000;

private:
    // Called with m_mutex held.
    void reap(bool block);

    // Guards the ledger and the state below: the watchdog's thread ends
    // offices while the caller's thread connects, writes down pipes or ends it.
    mutable std::mutex m_mutex;
    pid_t m_pid = -1;
    bool m_direct = false;
    // Written by the watchdog thread too when it ends a hung office.
    std::atomic<bool> m_exited{false};
    // The starter is reaped and no process of the office is left.
    std::atomic<bool> m_allGone{false};
    std::unique_ptr<OfficeFolder> m_folder;
};
