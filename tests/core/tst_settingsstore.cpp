// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class SettingsStoreTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingKeyGivesTheDefault()
    {
        QTemporaryDir dir;
        const SettingsStore store(dir.path());
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"TabControl1"_s, u"0"_s), u"0"_s);
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s), QString());
    }

    void savedValueIsReadBackAndOverwritten()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s, u"3"_s);
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s, u"x"_s), u"3"_s);
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s, u"-12"_s);
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s, u"x"_s), u"-12"_s);
    }

    void storedEmptyTextIsNotTheDefault()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s, QString());
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Combo1"_s, u"fallback"_s), QString());
    }

    void sectionsAndApplicationsAreSeparate()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Left"_s, u"100"_s);
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Other"_s, u"Left"_s, u"none"_s), u"none"_s);
        QCOMPARE(store.GetSetting(u"Elsewhere"_s, u"Corvane"_s, u"Left"_s, u"none"_s), u"none"_s);
    }

    void twoStoresOnOneFolderSeeEachOthersWrites()
    {
        QTemporaryDir dir;
        SettingsStore first(dir.path());
        SettingsStore second(dir.path());
        first.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"TabControl1"_s, u"1"_s);
        QCOMPARE(second.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"TabControl1"_s), u"1"_s);
        second.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"TabControl1"_s, u"0"_s);
        QCOMPARE(first.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"TabControl1"_s), u"0"_s);
    }

    void fileIsReadableIniInTheFolder()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path() + u"/not/yet/there"_s);
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Width"_s, u"8235"_s);
        QFile file(dir.path() + u"/not/yet/there/Tenvara.ini"_s);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(u"[Corvane]"_s), qPrintable(text));
        QVERIFY2(text.contains(u"Width=8235"_s), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
