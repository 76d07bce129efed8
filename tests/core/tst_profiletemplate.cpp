// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/profiletemplate.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A profile as the office that made it leaves it, its version recorded.
bool makeProfile(const QString &folder)
{
    if (!QDir().mkpath(folder + u"/user/config"_s))
        return false;
    QFile record(folder + u"/user/registrymodifications.xcu"_s);
    return record.open(QIODevice::WriteOnly)
        && record.write("<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" "
                        "oor:op=\"fuse\"><value>7.4</value></prop></item>\n")
        > 0;
}

// Sets the time of path (not of what a link leads to) seconds into the past.
bool age(const QString &path, int seconds)
{
    const timespec when{QDateTime::currentSecsSinceEpoch() - seconds, 0};
    const timespec times[2] = {when, when};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW) == 0;
}

bool exists(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

class ProfileTemplateTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aSoundTemplateIsKeptAndCopied()
    {
        QTemporaryDir cache;
        const QString folder = cache.path() + u"/libreoffice-profile-0123456789ab"_s;
        QVERIFY(makeProfile(folder));
        QVERIFY(ProfileTemplate::prepare(folder));
        ProfileTemplate::copyTo(folder, cache.path() + u"/copy"_s);
        QVERIFY(QFileInfo(cache.path() + u"/copy/user/registrymodifications.xcu"_s).isFile());
        QVERIFY(ProfileTemplate::isSound(folder));
    }

    // Each of these once failed every workbook until the user removed it by hand.
    void aTemplateThatIsNotSoundIsMadeAgain_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("empty folder") << u"empty"_s;
        QTest::newRow("profile without its version") << u"unfinished"_s;
        QTest::newRow("link to a sound profile") << u"link"_s;
        QTest::newRow("link to nothing") << u"dangling"_s;
    }
    void aTemplateThatIsNotSoundIsMadeAgain()
    {
        QFETCH(QString, kind);
        QTemporaryDir cache;
        const QString folder = cache.path() + u"/libreoffice-profile-0123456789ab"_s;
        const QString elsewhere = cache.path() + u"/elsewhere"_s;
        QVERIFY(makeProfile(elsewhere));
        if (kind == u"empty"_s) {
            QVERIFY(QDir().mkpath(folder));
        } else if (kind == u"unfinished"_s) {
            QVERIFY(QDir().mkpath(folder + u"/user/config"_s));
            QVERIFY(QFile(folder + u"/user/registrymodifications.xcu"_s).open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QFile::link(kind == u"link"_s ? elsewhere : cache.path() + u"/nowhere"_s, folder));
        }

        QVERIFY(!ProfileTemplate::isSound(folder));
        QVERIFY(!ProfileTemplate::prepare(folder));
        QVERIFY(!exists(folder));
        // Only the link went, never what it leads to.
        QVERIFY(ProfileTemplate::isSound(elsewhere));

        // The next first start puts a new one in place.
        ProfileTemplate::install(elsewhere, folder);
        QVERIFY(ProfileTemplate::isSound(folder));
        QVERIFY(ProfileTemplate::prepare(folder));
    }

    void whatKilledStartsAndOlderLibreOfficesLeftIsRemoved()
    {
        QTemporaryDir cache;
        const QString c = cache.path();
        const QString current = c + u"/libreoffice-profile-0123456789ab"_s;
        QVERIFY(makeProfile(current));
        QVERIFY(age(current, 3 * 24 * 3600)); // the template in use is never old

        QVERIFY(makeProfile(c + u"/staging-Ab12Cd/profile"_s)); // a killed first start
        QVERIFY(age(c + u"/staging-Ab12Cd"_s, 600));
        QVERIFY(QDir().mkpath(c + u"/staging-Young1/profile"_s)); // one under way elsewhere
        QVERIFY(QDir().mkpath(c + u"/staging-Held12/profile"_s)); // one another program still holds
        QVERIFY(age(c + u"/staging-Held12"_s, 600));
        const int held = ::open(QFile::encodeName(c + u"/staging-Held12"_s).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX), 0);

        QVERIFY(makeProfile(c + u"/libreoffice-profile-aaaaaaaaaaaa"_s)); // an older LibreOffice's
        QVERIFY(age(c + u"/libreoffice-profile-aaaaaaaaaaaa"_s, 2 * 24 * 3600));
        QVERIFY(makeProfile(c + u"/libreoffice-profile-bbbbbbbbbbbb"_s)); // another one's, used today
        QVERIFY(age(c + u"/libreoffice-profile-bbbbbbbbbbbb"_s, 3600));

        // Not the program's: a link with a template's name, a folder of another name.
        QVERIFY(makeProfile(c + u"/mine"_s));
        QVERIFY(age(c + u"/mine"_s, 30 * 24 * 3600));
        QVERIFY(QFile::link(c + u"/mine"_s, c + u"/libreoffice-profile-cccccccccccc"_s));
        QVERIFY(QFile::link(c + u"/mine"_s, c + u"/staging-Link12"_s));
        QVERIFY(age(c + u"/libreoffice-profile-cccccccccccc"_s, 30 * 24 * 3600));
        QVERIFY(age(c + u"/staging-Link12"_s, 600));

        QVERIFY(ProfileTemplate::prepare(current));
        ::close(held);

        QStringList left = QDir(c).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left,
                 (QStringList{u"libreoffice-profile-0123456789ab"_s, u"libreoffice-profile-bbbbbbbbbbbb"_s,
                              u"libreoffice-profile-cccccccccccc"_s, u"mine"_s, u"staging-Held12"_s,
                              u"staging-Link12"_s, u"staging-Young1"_s}));
        QVERIFY(ProfileTemplate::isSound(c + u"/mine"_s));

        // Copying from a template marks it as in use.
        ProfileTemplate::copyTo(current, c + u"/copy"_s);
        QVERIFY(QFileInfo(current).lastModified().secsTo(QDateTime::currentDateTime()) < 60);
    }
};

QTEST_GUILESS_MAIN(ProfileTemplateTest)
#include "tst_profiletemplate.moc"
