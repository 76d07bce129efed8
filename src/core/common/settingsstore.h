// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <functional>

// The per-user preferences, addressed by application, section and key, every
// value text. Each application is one human-readable INI file in the store's
// folder and each section a group in it. Every call goes to the file, so two
// running copies of the program see each other's writes, key by key.
//
// A settings file may be a symbolic link (a dotfiles folder): it is read and
// written through the link, which stays. A file that is, or leads to,
// anything but a regular file (a device, a pipe, a folder) is never read or
// replaced: the values are then kept in memory for this run, and that is
// said once through the report callback.
class SettingsStore final
{
public:
    using Report = std::function<void(const QString &message)>;

    // folder: where the files live; the user's XDG configuration folder in the program.
    explicit SettingsStore(QString folder, Report report = {});

    // The user's XDG configuration folder (~/.config unless XDG_CONFIG_HOME says otherwise).
    static QString userFolder();

    void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value);
    QString GetSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;

    QString fileOf(const QString &application) const;

private:
    // Whether the application's file may be read and written; says once when not.
    bool fileIsUsable(const QString &application) const;

    QString m_folder;
    Report m_report;
    mutable QSet<QString> m_reported;
    QHash<QString, QString> m_kept; // application, section and key: value, for unusable files
};
