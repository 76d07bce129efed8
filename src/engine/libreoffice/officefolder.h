// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/libreoffice/officeledger.h"

#include <QString>

// The folder of one office in the program's private workspace: its profile,
// its temporary folder and its ledger. The program holds a lock on it for as
// long as the folder is in use, which tells any other program that its owner
// lives, whatever pid namespace either runs in. Destroying it removes the
// pipes the ledger names and the folder, never following a symbolic link;
// the office must have ended by then.
class OfficeFolder final
{
public:
    // Throws EngineError when the folder cannot be made.
    OfficeFolder(int workspaceFd, const QString &workspacePath);
    ~OfficeFolder();

    OfficeFolder(const OfficeFolder &) = delete;
    OfficeFolder &operator=(const OfficeFolder &) = delete;

    QString path() const;
    // The folder's own name, unique among the offices of every program.
    QString name() const;

    // Replaces the ledger at once: a reader sees the old one or the new one.
    void writeLedger(const OfficeLedger &ledger);
    const OfficeLedger &ledger() const;

private:
    int m_workspaceFd = -1;
    int m_fd = -1;
    QString m_path;
    OfficeLedger m_ledger;
};
