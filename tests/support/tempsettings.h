// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/apptexts.h"
#include "core/common/settingsstore.h"

#include <QTemporaryDir>

// A settings store in a folder of its own that vanishes with the test.
class TempSettings final
{
public:
    TempSettings()
        : store(dir.path())
    {}

    QString get(const QString &key, const QString &fallback = QStringLiteral("<none>")) const
    {
        return store.GetSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(), key, fallback);
    }
    void set(const QString &key, const QString &value)
    {
        store.SaveSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(), key, value);
    }

    QTemporaryDir dir;
    SettingsStore store;
};
