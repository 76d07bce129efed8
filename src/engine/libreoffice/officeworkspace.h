// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <memory>

class OfficeFolder;

// The program's private folder for all its offices' work, per user:
// $XDG_RUNTIME_DIR/corvane, else ~/.cache/corvane/run. Never the shared
// temporary folder: only this user can put anything in it.
class OfficeWorkspace final
{
public:
    static QString defaultLocation();
    // Where the offices work when the runtime folder is none or refused.
    static QString fallbackLocation();

    // Creates the folder when needed (mode 0700) and checks that it is a
    // real folder of this user's. Throws EngineError when it is not.
    explicit OfficeWorkspace(QString location = defaultLocation());
    ~OfficeWorkspace();

    OfficeWorkspace(const OfficeWorkspace &) = delete;
    OfficeWorkspace &operator=(const OfficeWorkspace &) = delete;

    const QString &path() const;
    std::unique_ptr<OfficeFolder> createOfficeFolder();

    // Ends the offices of programs that are gone and removes their folders
    // and pipes, reading only the ledgers. Folders in use, and anything that
    // is not an office folder of ours, stay as they are.
    void removeAbandoned();

private:
    void removeIfAbandoned(const QByteArray &name);

    QString m_path;
    int m_fd = -1;
};
