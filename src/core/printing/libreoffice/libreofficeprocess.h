#pragma once

#include <QString>

#include <atomic>

#include <sys/types.h>

// One running LibreOffice of our own: a process group of its own, a private
// copy of the profile, its own temporary folder and a pipe with a unique name
// to reach it. It never attaches to a LibreOffice the user runs. Destroying it
// ends the whole group and removes everything it left behind.
class LibreOfficeProcess final
{
public:
    // Throws EngineError when the program cannot be started.
    LibreOfficeProcess(const QString &program, const QString &profileTemplate);
    ~LibreOfficeProcess();

    LibreOfficeProcess(const LibreOfficeProcess &) = delete;
    LibreOfficeProcess &operator=(const LibreOfficeProcess &) = delete;

    // The address the UNO URL resolver connects to.
    QString connectUrl() const;
    pid_t processGroup() const;
    QString profileFolder() const;

    bool isRunning();
    // Waits up to milliseconds for the process to end by itself.
    bool waitForExit(int milliseconds);
    // Ends the whole process group at once and reaps it.
    void kill();

    // Marks every instance of ours in its command line, so that ours are never
    // taken for the user's LibreOffice.
    static QString pipePrefix();

    // Removes the temporary folders of programs that ended without removing them.
    static void removeAbandonedFolders();

    // Kills every office of ours this process runs. Safe in a signal handler:
    // an interrupted program ends its offices before it goes.
    static void killAllFromSignalHandler();

private:
    void reap(bool block);
    void removeLeftovers();

    pid_t m_pid = -1;
    // Written by the watchdog thread too when it ends a hung office.
    std::atomic<bool> m_exited{false};
    QString m_root;
    QString m_pipeName;
};
