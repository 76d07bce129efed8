// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

#include <sys/types.h>

// What a program writes down about an office before it starts it, so that
// a later program can end the office and remove what it left when this one
// was killed before it could: who owns the office (pid and start time, so a
// reused pid is never taken for the owner), the office's process and group,
// its pipe's name and the pipes it was seen to listen on.
struct OfficeLedger
{
    pid_t ownerPid = 0;
    quint64 ownerStart = 0;
    pid_t officePid = 0;
    pid_t processGroup = 0;
    QString pipeName;
    QStringList pipes;

    QByteArray toText() const;
    // Nothing for a text that is not a whole ledger.
    static std::optional<OfficeLedger> fromText(const QByteArray &text);

    // The argument that every process of this office was started with.
    QByteArray acceptArgument() const;
};
