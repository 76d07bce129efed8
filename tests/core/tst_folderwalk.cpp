// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filelist/folderwalk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Makes the files (and the folders they need) below root; a name ending in
// "/" makes just a folder. False when any of them could not be made.
[[nodiscard]] bool makeTree(const QString &root, const QStringList &entries)
{
    for (const QString &entry : entries) {
        const QString path = root + u'/' + entry;
        if (entry.endsWith(u'/')) {
            if (!QDir().mkpath(path))
                return false;
            continue;
        }
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("x") != 1)
            return false;
    }
    return true;
}

QStringList relative(const QString &root, const QStringList &paths)
{
    QStringList out;
    for (const QString &path : paths)
        out.append(path.mid(root.size() + 1));
    return out;
}

} // namespace

class FolderWalkTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void foldersComeBreadthFirstGroupedByParent()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"B/B1/f.xls"_s, u"A/A1/f.xls"_s, u"A/A2/"_s, u"f.xls"_s}));
        QStringList folders{dir.path() + u'/'};
        AddFolder::CollectSubfolders(folders, true);
        QCOMPARE(relative(dir.path(), folders.mid(1)),
                 (QStringList{u"A/"_s, u"B/"_s, u"A/A1/"_s, u"A/A2/"_s, u"B/B1/"_s}));

        QStringList direct{dir.path() + u'/'};
        AddFolder::CollectSubfolders(direct, false);
        QCOMPARE(relative(dir.path(), direct.mid(1)), (QStringList{u"A/"_s, u"B/"_s}));
    }

    void filesFollowTheFolderOrder()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"B/B1/b1.xls"_s, u"A/A1/a1.xls"_s, u"A/a.xls"_s, u"B/b.xls"_s, u"r.xls"_s}));
        QCOMPARE(relative(dir.path(), AddFolder::CollectFiles(dir.path(), u"*.xls"_s)),
                 (QStringList{u"r.xls"_s, u"A/a.xls"_s, u"B/b.xls"_s, u"A/A1/a1.xls"_s, u"B/B1/b1.xls"_s}));
    }

    void namesAreOrderedIgnoringCase()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"b.xls"_s, u"C.xls"_s, u"a.xls"_s, u"Ä.xls"_s}));
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.*"_s),
                 (QStringList{u"a.xls"_s, u"b.xls"_s, u"C.xls"_s, u"Ä.xls"_s}));
    }

    void patternsMatchLikeTheUsersFileDialogs()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"a.xls"_s, u"B.XLS"_s, u"c.xlsx"_s, u"d.txt"_s, u"noext"_s, u"e.xls.bak"_s}));
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.xls"_s), (QStringList{u"a.xls"_s, u"B.XLS"_s}));
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.XLS"_s), (QStringList{u"a.xls"_s, u"B.XLS"_s}));
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.xl*"_s),
                 (QStringList{u"a.xls"_s, u"B.XLS"_s, u"c.xlsx"_s, u"e.xls.bak"_s}));
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.*"_s).size(), 6);
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"?.txt"_s), QStringList{u"d.txt"_s});
        QVERIFY(AddFolder::ListFiles(dir.path(), u"*.doc"_s).isEmpty());
    }

    void namesWithWildcardCharactersAreDataNotPatterns()
    {
        QTemporaryDir dir;
        const QStringList matching{u"*a.xls"_s,  u"*star.xls"_s, u"**.xls"_s,          u"a*.xls"_s, u"q?.XLS"_s,
                                   u"[x].xls"_s, u"b]c.xls"_s,   u"back\\slash.xls"_s, u"?.xls"_s};
        QVERIFY(makeTree(dir.path(), matching + QStringList{u"*.xlsx"_s, u"?.txt"_s, u"[x].xl"_s}));
        QStringList found = AddFolder::ListFiles(dir.path(), u"*.xls"_s);
        found.sort();
        QStringList expected = matching;
        expected.sort();
        QCOMPARE(found, expected);
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"?.xls"_s), QStringList{u"?.xls"_s});
    }

    void tildeNamesAreLeftOutOfTheWalkOnly()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"~$lock.xls"_s, u"real.xls"_s, u"sub/~temp.xls"_s}));
        QCOMPARE(relative(dir.path(), AddFolder::CollectFiles(dir.path(), u"*.xls"_s)), QStringList{u"real.xls"_s});
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.xls"_s), (QStringList{u"real.xls"_s, u"~$lock.xls"_s}));
    }

    void hiddenFoldersAreSkippedButHiddenFilesCount()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u".hidden/inside.xls"_s, u".dotfile.xls"_s, u"sub/.also.xls"_s}));
        QCOMPARE(relative(dir.path(), AddFolder::CollectFiles(dir.path(), u"*.xls"_s)),
                 (QStringList{u".dotfile.xls"_s, u"sub/.also.xls"_s}));
    }

    void onlyOrdinaryFilesAreListed()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"folder.xls/"_s, u"file.xls"_s}));
        QVERIFY(::mkfifo(QFile::encodeName(dir.path() + u"/pipe.xls"_s).constData(), 0600) == 0);
        QCOMPARE(AddFolder::ListFiles(dir.path(), u"*.*"_s), QStringList{u"file.xls"_s});
    }

    void linksAreFollowedButNoFolderTwice()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"a/one.xls"_s, u"other/two.xls"_s}));
        QVERIFY(QFile::link(dir.path(), dir.path() + u"/a/loop"_s));
        QVERIFY(QFile::link(dir.path() + u"/other"_s, dir.path() + u"/a/toOther"_s));
        QVERIFY(QFile::link(dir.path() + u"/other/two.xls"_s, dir.path() + u"/a/link.xls"_s));
        QVERIFY(QFile::link(dir.path() + u"/missing"_s, dir.path() + u"/a/dangling.xls"_s));

        const QStringList files = relative(dir.path(), AddFolder::CollectFiles(dir.path(), u"*.xls"_s));
        QCOMPARE(files, (QStringList{u"a/link.xls"_s, u"a/one.xls"_s, u"other/two.xls"_s}));

        QStringList folders{dir.path() + u"/a/"_s};
        AddFolder::CollectSubfolders(folders, true);
        QCOMPARE(relative(dir.path(), folders.mid(1)), (QStringList{u"a/loop/"_s, u"a/toOther/"_s}));
    }

    void unreadableFoldersArePassedOver()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser reads every folder");
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"locked/in.xls"_s, u"open/in.xls"_s}));
        QFile::setPermissions(dir.path() + u"/locked"_s, QFileDevice::Permissions());
        const QStringList files = relative(dir.path(), AddFolder::CollectFiles(dir.path(), u"*.xls"_s));
        QFile::setPermissions(dir.path() + u"/locked"_s,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(files, QStringList{u"open/in.xls"_s});
    }

    void aMissingFolderGivesNothing()
    {
        QVERIFY(AddFolder::CollectFiles(u"/no/such/folder"_s, u"*.*"_s).isEmpty());
        QVERIFY(AddFolder::ListFiles(u"/no/such/folder"_s, u"*.*"_s).isEmpty());
    }

    void unicodeNamesAreKept()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"Ünïcødé/日本語.xls"_s, u"Ελληνικά.xls"_s}));
        QCOMPARE(relative(dir.path(), AddFolder::CollectFiles(dir.path(), u"*.XLS"_s)),
                 (QStringList{u"Ελληνικά.xls"_s, u"Ünïcødé/日本語.xls"_s}));
    }

    void pathsNeverGetADoubledSeparator()
    {
        QCOMPARE(AddFolder::JoinPath(u"/"_s, u"a.xls"_s), u"/a.xls"_s);
        QCOMPARE(AddFolder::JoinPath(u"/data"_s, u"a.xls"_s), u"/data/a.xls"_s);
        QCOMPARE(AddFolder::JoinPath(u"/data/"_s, u"a.xls"_s), u"/data/a.xls"_s);

        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"sub/a.xls"_s}));
        for (const QString &path : AddFolder::CollectFiles(dir.path() + u'/', u"*.*"_s))
            QVERIFY2(!path.contains(u"//"_s), qPrintable(path));
    }

    void theYieldIsCalledDuringTheWalk()
    {
        QTemporaryDir dir;
        QVERIFY(makeTree(dir.path(), {u"a/1"_s, u"b/2"_s, u"c/3"_s}));
        int yields = 0;
        AddFolder::CollectFiles(dir.path(), u"*.*"_s, [&yields] { ++yields; });
        QVERIFY(yields >= 4);
    }
};

QTEST_GUILESS_MAIN(FolderWalkTest)
#include "tst_folderwalk.moc"
