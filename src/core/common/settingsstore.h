// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user preferences, addressed by application, section and key, every
// value text. Each application is one human-readable INI file in the store's
// folder and each section a group in it. Every call goes to the file, so two
// running copies of the program see each other's writes, key by key.
class SettingsStore final
{
public:
    // folder: where the files live; the user's XDG configuration folder in the program.
    explicit SettingsStore(QString folder);

    // The user's XDG configuration folder (~/.config unless XDG_CONFIG_HOME says otherwise).
    static QString userFolder();

    void SaveSetting(const QString &application, const QString &section, const QString &key, const QString &value);
    QString GetSetting(const QString &application, const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;

    QString fileOf(const QString &application) const;

private:
    QString m_folder;
};
