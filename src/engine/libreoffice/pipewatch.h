// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Tells when a pipe appears in the folder where LibreOffice makes its pipes,
// so that the wait for a starting office sleeps until there is something to
// look at instead of asking it every few milliseconds. Only names are read;
// nothing in the folder is opened.
class PipeWatch final
{
public:
    // Watches for files named prefix... in folder; without inotify (no
    // watches left) wait() only sleeps, and the caller asks as before.
    PipeWatch(const QString &folder, const QString &prefix);
    ~PipeWatch();

    PipeWatch(const PipeWatch &) = delete;
    PipeWatch &operator=(const PipeWatch &) = delete;

    // Waits at most milliseconds for such a file to be made; true when one was.
    bool wait(int milliseconds);

private:
    int m_fd = -1;
    QByteArray m_prefix;
};
