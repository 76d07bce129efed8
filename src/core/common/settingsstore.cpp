// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/settingsstore.h"

#include "core/common/filenames.h"
#include "core/common/logcategories.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {

QString keptKey(const QString &application, const QString &section, const QString &key)
{
    return application + QLatin1Char('\n') + section + QLatin1Char('/') + key;
}

} // namespace

SettingsStore::SettingsStore(QString folder, Report report)
    : m_folder(std::move(folder))
    , m_report(std::move(report))
{}

QString SettingsStore::userFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString SettingsStore::fileOf(const QString &application) const
{
    return QDir(m_folder).filePath(application + QStringLiteral(".ini"));
}

bool SettingsStore::fileIsUsable(const QString &application) const
{
    const QString file = fileOf(application);
    // stat() follows links: what counts is what a write would reach. Saving
    // puts a new file in that one's place, which for a device would replace
    // the device itself; reading one (/dev/zero) would never end.
    struct stat info = {};
    if (::stat(FileNames::encode(file).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return true;
    if (!m_reported.contains(application)) {
        m_reported.insert(application);
        qCDebug(lcSettings).noquote() << file << "is not a regular file; settings stay in memory";
        if (m_report) {
            const QFileInfo link(file);
            const QString target
                = link.isSymLink() ? QStringLiteral(" (a link to \"%1\")").arg(link.symLinkTarget()) : QString();
            m_report(QStringLiteral("The settings file \"%1\"%2 is not a regular file, so it is left as it is. "
                                    "Settings changed now are kept until the program ends.")
                         .arg(file, target));
        }
    }
    return false;
}

void SettingsStore::SaveSetting(const QString &application, const QString &section, const QString &key,
                                const QString &value)
{
    if (!fileIsUsable(application)) {
        m_kept.insert(keptKey(application, section, key), value);
        return;
    }
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
    if (!fileIsUsable(application))
        return m_kept.value(keptKey(application, section, key), defaultValue);
    const QSettings settings(fileOf(application), QSettings::IniFormat);
    const QString fullKey = section + QLatin1Char('/') + key;
    if (!settings.contains(fullKey))
        return defaultValue;
    return settings.value(fullKey).toString();
}
