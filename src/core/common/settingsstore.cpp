// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsstore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

SettingsStore::SettingsStore(QString folder)
    : m_folder(std::move(folder))
{}

QString SettingsStore::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString SettingsStore::fileOf(const QString &application) const
{
    return QDir(m_folder).filePath(application + QStringLiteral(".ini"));
}

void SettingsStore::SaveSetting(const QString &application, const QString &section, const QString &key,
                                const QString &value)
{
    QDir().mkpath(m_folder);
    QSettings settings(fileOf(application), QSettings::IniFormat);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
}

QString SettingsStore::GetSetting(const QString &application, const QString &section, const QString &key,
                                  const QString &defaultValue) const
{
    const QSettings settings(fileOf(application), QSettings::IniFormat);
    const QString fullKey = section + QLatin1Char('/') + key;
    if (!settings.contains(fullKey))
        return defaultValue;
    return settings.value(fullKey).toString();
}
