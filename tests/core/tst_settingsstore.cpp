// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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

    void aLinkToARegularFileIsWrittenThroughAndStays()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + u"/dotfiles"_s));
        QVERIFY(QDir().mkpath(dir.path() + u"/config"_s));
        QFile target(dir.path() + u"/dotfiles/Tenvara.ini"_s);
        QVERIFY(target.open(QIODevice::WriteOnly));
        target.write("[Corvane]\nLeft=7\n");
        target.close();
        QVERIFY(QFile::link(target.fileName(), dir.path() + u"/config/Tenvara.ini"_s));

        int reports = 0;
        SettingsStore store(dir.path() + u"/config"_s, [&reports](const QString &) { ++reports; });
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Left"_s), u"7"_s);
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Top"_s, u"9"_s);
        QCOMPARE(QFileInfo(dir.path() + u"/config/Tenvara.ini"_s).symLinkTarget(), target.fileName());
        QVERIFY(target.open(QIODevice::ReadOnly));
        QVERIFY(target.readAll().contains("Top=9"));
        QCOMPARE(reports, 0);
    }

    // What a write would replace, or a read never finish, is left alone; the
    // settings of this run are kept all the same.
    void aFileThatIsNoRegularFileIsNeverReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link to a device") << u"link to device"_s;
        QTest::newRow("device") << u"device"_s;
        QTest::newRow("link to a pipe") << u"link to pipe"_s;
        QTest::newRow("folder") << u"folder"_s;
    }
    void aFileThatIsNoRegularFileIsNeverReplaced()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString file = dir.path() + u"/Tenvara.ini"_s;
        QString node = dir.path() + u"/node"_s;
        const QByteArray nodeName = QFile::encodeName(node);
        if (kind.endsWith(u"device"_s)) {
            if (::geteuid() == 0) {
                // A device of its own in the test's folder: /dev is never at stake.
                QCOMPARE(::mknod(nodeName.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
            } else if (kind.startsWith(u"link"_s)) {
                node = u"/dev/null"_s;
            } else {
                QSKIP("making a device node needs root; the link to /dev/null stands in for it");
            }
        } else if (kind.endsWith(u"pipe"_s)) {
            QCOMPARE(::mkfifo(nodeName.constData(), 0600), 0);
        } else {
            QVERIFY(QDir().mkpath(node));
        }
        if (kind.startsWith(u"link"_s))
            QVERIFY(QFile::link(node, file));
        else
            QCOMPARE(::rename(nodeName.constData(), QFile::encodeName(file).constData()), 0);
        const QString reached = kind.startsWith(u"link"_s) ? node : file;
        struct stat before = {};
        QCOMPARE(::stat(QFile::encodeName(reached).constData(), &before), 0);

        QStringList reports;
        SettingsStore store(dir.path(), [&reports](const QString &message) { reports << message; });
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Left"_s, u"none"_s), u"none"_s);
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Left"_s, u"100"_s);
        store.SaveSetting(u"Tenvara"_s, u"Corvane"_s, u"Top"_s, u"5"_s);
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Left"_s, u"none"_s), u"100"_s);
        QCOMPARE(store.GetSetting(u"Tenvara"_s, u"Corvane"_s, u"Top"_s, u"none"_s), u"5"_s);

        struct stat after = {};
        QCOMPARE(::stat(QFile::encodeName(reached).constData(), &after), 0);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_rdev, before.st_rdev);
        QCOMPARE(QFileInfo(file).isSymLink(), kind.startsWith(u"link"_s));
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().contains(file) && reports.first().contains(u"not a regular file"_s),
                 qPrintable(reports.first()));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
