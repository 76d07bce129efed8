// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/commandrun.h"
#include "support/hungprintserver.h"
#include "support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QProcessEnvironment withoutPrinters()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, u"/nonexistent/cups.sock"_s);
    return environment;
}

// A tiny file system of its own, mounted while it lives; only root may mount one.
class TinyFileSystem final
{
public:
    explicit TinyFileSystem(const QString &folder)
        : m_folder(folder)
    {
        m_mounted = ::geteuid() == 0
            && QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=4k,mode=0700"_s, u"tmpfs"_s, folder})
                == 0;
    }
    ~TinyFileSystem()
    {
        if (m_mounted)
            QProcess::execute(u"umount"_s, {m_folder});
    }
    TinyFileSystem(const TinyFileSystem &) = delete;
    TinyFileSystem &operator=(const TinyFileSystem &) = delete;

    bool mounted() const { return m_mounted; }

private:
    QString m_folder;
    bool m_mounted = false;
};

} // namespace

class CommandLineTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listShowsThePrintOrderWithFoldersExpandedInPlace()
    {
        QTemporaryDir dir;
        const QString r = dir.path();
        QVERIFY(touch(r + u"/tree/B/b.xlsx"_s));
        QVERIFY(touch(r + u"/tree/A/a.xlsx"_s));
        QVERIFY(touch(r + u"/tree/A/notes.txt"_s));
        QVERIFY(touch(r + u"/tree/top.XLSX"_s));
        QVERIFY(touch(r + u"/tree/~lock.xlsx"_s));
        QVERIFY(touch(r + u"/tree/.hidden/h.xlsx"_s));

        const CommandRun all = CommandRun::of({u"--list"_s, r + u"/first.xls"_s, r + u"/tree"_s, u"~given.xls"_s});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{r + u"/first.xls"_s, r + u"/tree/top.XLSX"_s, r + u"/tree/A/a.xlsx"_s,
                              r + u"/tree/A/notes.txt"_s, r + u"/tree/B/b.xlsx"_s, u"~given.xls"_s}));

        const CommandRun xlsx = CommandRun::of({u"-n"_s, u"-e"_s, u"xlsx"_s, r + u"/tree"_s});
        QCOMPARE(xlsx.out.split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{r + u"/tree/top.XLSX"_s, r + u"/tree/A/a.xlsx"_s, r + u"/tree/B/b.xlsx"_s}));
    }

    void listsFromAFileFollowThePathsInOrder()
    {
        QTemporaryDir dir;
        const QString r = dir.path();
        QVERIFY(touch(r + u"/tree/A/a.xlsx"_s));
        QVERIFY(touch(r + u"/tree/top.xlsx"_s));
        QFile list(r + u"/week.txt"_s);
        QVERIFY(list.open(QIODevice::WriteOnly));
        // A list written on Windows, a blank line, a folder, a name with blanks.
        list.write(QFile::encodeName(r + u"/second report.xls\r\n\n"_s + r + u"/tree\r\n/third.ods"_s));
        list.close();

        const CommandRun run = CommandRun::of({u"--list"_s, r + u"/first.xls"_s, u"--files-from"_s, list.fileName()});
        QCOMPARE(run.exitCode, 0);
        const QStringList expected{r + u"/first.xls"_s, r + u"/second report.xls"_s, r + u"/tree/top.xlsx"_s,
                                   r + u"/tree/A/a.xlsx"_s, u"/third.ods"_s};
        QCOMPARE(run.out.split(u'\n', Qt::SkipEmptyParts), expected);

        // What --list writes reads back as the same list.
        QFile saved(r + u"/saved.txt"_s);
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.write(run.rawOut);
        saved.close();
        QCOMPARE(CommandRun::of({u"-n"_s, u"--files-from"_s, saved.fileName()}).out, run.out);
    }

    void nulSeparatedListsCarryAnyNameThroughStandardInput()
    {
        QTemporaryDir dir;
        const QString odd = dir.path() + u"/two\nlines.xlsx"_s;
        QVERIFY(touch(odd));
        QVERIFY(touch(dir.path() + u"/sub/inner.ods"_s));
        const QByteArray input = QFile::encodeName(odd) + '\0' + QFile::encodeName(dir.path() + u"/sub"_s) + '\0';
        const CommandRun run = CommandRun::of({u"--files-from"_s, u"-"_s, u"--null"_s, u"--list"_s},
                                              QProcessEnvironment::systemEnvironment(), input);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.rawOut,
                 QFile::encodeName(odd) + '\0' + QFile::encodeName(dir.path() + u"/sub/inner.ods"_s) + '\0');

        // An empty list is no usage error: there is just nothing to print.
        const CommandRun empty = CommandRun::of({u"--files-from"_s, u"-"_s}, withoutPrinters());
        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(empty.out, u"No files added.\n"_s);
    }

    void aListIsReadWithinBoundsAndSaysWhichLineIsTooLong()
    {
        const CommandRun zero = CommandRun::of({u"--list"_s, u"--files-from"_s, u"/dev/zero"_s});
        QCOMPARE(zero.exitCode, 2);
        QCOMPARE(zero.err,
                 u"corvane-print: line 1 of the list \"/dev/zero\" is longer than a path can be (4096 bytes)\n"_s);
        QVERIFY(zero.out.isEmpty());

        // Without line ends, /dev/zero is an endless list of empty paths.
        const CommandRun empties = CommandRun::of({u"--list"_s, u"--null"_s, u"--files-from"_s, u"/dev/zero"_s});
        QCOMPARE(empties.exitCode, 2);
        QCOMPARE(empties.err, u"corvane-print: the list \"/dev/zero\" has more than 1000000 entries\n"_s);

        // A path may be as long as the system allows; one byte more is no path.
        const QByteArray longest(4096, 'a');
        const CommandRun third
            = CommandRun::of({u"--list"_s, u"--files-from"_s, u"-"_s}, QProcessEnvironment::systemEnvironment(),
                             "/first.xls\n" + longest + "\n" + longest + "a\n/last.xls\n");
        QCOMPARE(third.exitCode, 2);
        QCOMPARE(third.err,
                 u"corvane-print: line 3 of the list on standard input is longer than a path can be (4096 bytes)\n"_s);
    }

    void aNulByteInALineIsAListErrorThatNamesTheLine()
    {
        // The system would take the NUL for the name's end and print another file.
        QTemporaryDir dir;
        const QString good = dir.path() + u"/good.xlsx"_s;
        QVERIFY(touch(good));
        const QString report = dir.path() + u"/run.csv"_s;
        const QByteArray input
            = "/first.xls\n" + QFile::encodeName(good) + QByteArray("\0tail.xls\n", 10) + "/last.xls\n";
        for (const QStringList &arguments : {QStringList{u"--list"_s}, QStringList{u"--report"_s, report}}) {
            const CommandRun run
                = CommandRun::of(arguments + QStringList{u"--files-from"_s, u"-"_s}, withoutPrinters(), input);
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.err,
                     u"corvane-print: line 2 of the list on standard input holds a NUL byte, which no path "
                     "can; a list of names that each end with one is read with --null\n"_s);
            QVERIFY(run.out.isEmpty());
        }
        QVERIFY(!QFile::exists(report));
    }

    void aFolderThatGivesNoWorkbookIsSaidInTheSummaryAndTheReport()
    {
        QTemporaryDir dir;
        const QString r = dir.path();
        QVERIFY(QDir().mkpath(r + u"/empty"_s));
        QVERIFY(touch(r + u"/locks/~lock.xlsx"_s));
        QVERIFY(touch(r + u"/other/a.ods"_s));
        const QString missing = r + u"/missing.xlsx"_s;
        const QString report = r + u"/run.csv"_s;
        const CommandRun run = CommandRun::of({u"--yes"_s, u"--pdf"_s, r + u"/out"_s, u"--report"_s, report, u"-e"_s,
                                               u"xlsx"_s, r + u"/empty"_s, missing, r + u"/locks"_s, r + u"/other"_s},
                                              withoutPrinters());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.endsWith(u"Exported 0 of 1 workbooks to "_s + r + u"/out; 1 failed.\nFailed: "_s + missing
                                  + u"\nNo workbook in: "_s + r + u"/empty\nNo workbook in: "_s + r
                                  + u"/locks\nNo workbook in: "_s + r + u"/other\n"_s),
                 qPrintable(run.out));
        QFile written(report);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QStringList rows = QString::fromUtf8(written.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 5);
        for (int k = 1; k <= 3; ++k) {
            const QString folder = r + QStringList{u"/empty"_s, u"/locks"_s, u"/other"_s}.at(k - 1);
            QCOMPARE(rows.at(k), u","_s + folder + u",no workbook,,The folder holds no .xlsx file to print.,,,"_s);
        }
        QVERIFY2(rows.at(4).startsWith(u"1,"_s + missing + u",failed,116,"_s), qPrintable(rows.at(4)));

        // Nothing else in the list: nothing to print, but still said.
        const CommandRun nothing = CommandRun::of({u"--pdf"_s, r + u"/out"_s, r + u"/empty"_s}, withoutPrinters());
        QCOMPARE(nothing.exitCode, 0);
        QCOMPARE(nothing.out, u"No files added.\nNo workbook in: "_s + r + u"/empty\n"_s);
    }

    void aWorkspaceRefusedEverywhereIsOneErrorBeforeAnythingIsTried()
    {
        QTemporaryDir dir;
        const QString r = dir.path();
        // Links planted where the offices would work: in the runtime folder and in its fallback.
        QVERIFY(QDir().mkpath(r + u"/runtime"_s));
        QVERIFY(QFile::setPermissions(r + u"/runtime"_s,
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        QVERIFY(QDir().mkpath(r + u"/elsewhere"_s));
        QVERIFY(QDir().mkpath(r + u"/cache/corvane"_s));
        QVERIFY(QFile::link(r + u"/elsewhere"_s, r + u"/runtime/corvane"_s));
        QVERIFY(QFile::link(r + u"/elsewhere"_s, r + u"/cache/corvane/run"_s));
        QProcessEnvironment environment = withoutPrinters();
        environment.insert(u"XDG_RUNTIME_DIR"_s, r + u"/runtime"_s);
        environment.insert(u"XDG_CACHE_HOME"_s, r + u"/cache"_s);
        const QString workbook = QStringLiteral(CORVANE_SOURCE_DIR "/resources/Samples/Inventory.ods");
        const QStringList arguments{u"--yes"_s,        u"--pdf"_s, r + u"/out"_s, u"--report"_s,
                                    r + u"/run.csv"_s, workbook,   workbook};
        const CommandRun refused = CommandRun::of(arguments, environment);
        QCOMPARE(refused.exitCode, 2);
        const QString because = u" cannot hold LibreOffice's work: it is not a folder of your own."_s;
        QCOMPARE(refused.err,
                 u"corvane-print: The folder "_s + r + u"/runtime/corvane"_s + because + u" The folder "_s + r
                     + u"/cache/corvane/run"_s + because + u"\n"_s);
        QVERIFY(refused.out.isEmpty());
        QVERIFY(!QFile::exists(r + u"/out"_s));
        QVERIFY(!QFile::exists(r + u"/run.csv"_s));
        QVERIFY(QDir(r + u"/elsewhere"_s).isEmpty());

        // Only the runtime folder refused: the offices work in the fallback.
        environment.insert(u"XDG_CACHE_HOME"_s, QProcessEnvironment::systemEnvironment().value(u"XDG_CACHE_HOME"_s));
        const CommandRun fallback = CommandRun::of(arguments.mid(0, 6), environment);
        QVERIFY2(fallback.exitCode == 0, qPrintable(fallback.err));
        QVERIFY(QFile::exists(r + u"/out/Inventory.pdf"_s));
        QVERIFY(QDir(r + u"/elsewhere"_s).isEmpty());
    }

    void aNameThatIsNotUtf8IsListedByteForByte()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        // Latin-1 names, as an old archive or a Windows share brings them.
        for (const QByteArray &name : {QByteArray("/caf\xe9.xlsx"), QByteArray("/\xc3(\xff.ods")}) {
            const QByteArray path = folder + name;
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
            QVERIFY(fd >= 0);
            ::close(fd);
        }
        const QByteArray expected = folder + "/caf\xe9.xlsx\n" + folder + "/\xc3(\xff.ods\n";
        const CommandRun listed = CommandRun::of({u"--list"_s, dir.path()});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(listed.rawOut, expected);

        // The saved list reads back as the same list, by lines and by NULs.
        QFile saved(dir.path() + u"/saved.txt"_s);
        QVERIFY(saved.open(QIODevice::WriteOnly));
        saved.write(listed.rawOut);
        saved.close();
        QCOMPARE(CommandRun::of({u"-n"_s, u"--files-from"_s, saved.fileName()}).rawOut, expected);
        const CommandRun nul
            = CommandRun::of({u"-n"_s, u"--null"_s, u"--files-from"_s, u"-"_s},
                             QProcessEnvironment::systemEnvironment(), QByteArray(expected).replace('\n', '\0'));
        QCOMPARE(nul.rawOut, QByteArray(expected).replace('\n', '\0'));
    }

    void anEmptyListPrintsNothingAndSucceeds()
    {
        QTemporaryDir dir;
        const CommandRun run = CommandRun::of({dir.path()}, withoutPrinters());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"No files added.\nNo workbook in: "_s + dir.path() + u"\n"_s);
    }

    void usageErrorsExitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("unknown option") << QStringList{u"--bogus"_s, u"a.xlsx"_s};
        QTest::newRow("no path") << QStringList{u"--all-sheets"_s};
        QTest::newRow("printer without a name") << QStringList{u"a.xlsx"_s, u"--printer"_s};
        QTest::newRow("empty extension") << QStringList{u"-e"_s, QString(), u"a.xlsx"_s};
        QTest::newRow("timeout not a number") << QStringList{u"--timeout"_s, u"soon"_s, u"a.xlsx"_s};
        QTest::newRow("timeout zero") << QStringList{u"--timeout"_s, u"0"_s, u"a.xlsx"_s};
        QTest::newRow("timeout past a day") << QStringList{u"-t"_s, u"86401"_s, u"a.xlsx"_s};
        QTest::newRow("memory limit too small") << QStringList{u"--memory-limit"_s, u"50"_s, u"a.xlsx"_s};
        QTest::newRow("memory limit not a number") << QStringList{u"--memory-limit"_s, u"2G"_s, u"a.xlsx"_s};
        QTest::newRow("no offices") << QStringList{u"--jobs"_s, u"0"_s, u"a.xlsx"_s};
        QTest::newRow("more offices than allowed") << QStringList{u"-j"_s, u"17"_s, u"a.xlsx"_s};
        QTest::newRow("offices not a number") << QStringList{u"--jobs"_s, u"all"_s, u"a.xlsx"_s};
        QTest::newRow("no copies") << QStringList{u"--copies"_s, u"0"_s, u"a.xlsx"_s};
        QTest::newRow("copies not a number") << QStringList{u"--copies"_s, u"two"_s, u"a.xlsx"_s};
        QTest::newRow("pages backwards") << QStringList{u"--pages"_s, u"3-2"_s, u"a.xlsx"_s};
        QTest::newRow("page zero") << QStringList{u"--pages"_s, u"0-2"_s, u"a.xlsx"_s};
        QTest::newRow("pages open-ended") << QStringList{u"--pages"_s, u"2-"_s, u"a.xlsx"_s};
        QTest::newRow("pages with blanks") << QStringList{u"--pages"_s, u"1, 3"_s, u"a.xlsx"_s};
        QTest::newRow("pages empty") << QStringList{u"--pages"_s, QString(), u"a.xlsx"_s};
        QTest::newRow("duplex sideways") << QStringList{u"--duplex"_s, u"sideways"_s, u"a.xlsx"_s};
        QTest::newRow("list that is not there") << QStringList{u"--files-from"_s, u"/nonexistent/week.txt"_s};
        QTest::newRow("list that is a folder") << QStringList{u"--files-from"_s, u"/"_s};
        QTest::newRow("unknown paper") << QStringList{u"--paper"_s, u"B5"_s, u"a.xlsx"_s};
        QTest::newRow("paper with one side") << QStringList{u"--paper"_s, u"210"_s, u"a.xlsx"_s};
        QTest::newRow("orientation sideways") << QStringList{u"--orientation"_s, u"sideways"_s, u"a.xlsx"_s};
        QTest::newRow("two fits") << QStringList{u"--fit-width"_s, u"--fit-page"_s, u"a.xlsx"_s};
        QTest::newRow("single-page sheets on paper") << QStringList{u"--single-page-sheets"_s, u"a.xlsx"_s};
        QTest::newRow("single-page sheets with a paper")
            << QStringList{u"--pdf"_s, u"out"_s, u"--single-page-sheets"_s, u"--paper"_s, u"A4"_s, u"a.xlsx"_s};
        QTest::newRow("single-page sheets with pages")
            << QStringList{u"--pdf"_s, u"out"_s, u"--single-page-sheets"_s, u"--pages"_s, u"2"_s, u"a.xlsx"_s};
        QTest::newRow("force without a merged PDF") << QStringList{u"--force"_s, u"a.xlsx"_s};
        QTest::newRow("merged PDF in no folder")
            << QStringList{u"--merge-pdf"_s, u"/nonexistent/run.pdf"_s, u"a.xlsx"_s};
        QTest::newRow("merged PDF that is a folder") << QStringList{u"--merge-pdf"_s, u"/"_s, u"a.xlsx"_s};
    }
    void usageErrorsExitWithTwo()
    {
        QFETCH(QStringList, arguments);
        const CommandRun run = CommandRun::of(arguments, withoutPrinters());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(u"corvane-print: "_s), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void aReportThatCannotBeWrittenIsNeverTakenForAWholeOne()
    {
        QTemporaryDir dir;
        const QString missing = dir.path() + u"/missing.xlsx"_s;
        const QStringList pdf{u"--yes"_s, u"--pdf"_s, dir.path() + u"/out"_s};

        // Every write to /dev/full fails as on a full disk: nothing starts.
        const CommandRun full
            = CommandRun::of(pdf + QStringList{u"--report"_s, u"/dev/full"_s, missing}, withoutPrinters());
        QCOMPARE(full.exitCode, 2);
        QVERIFY2(full.err.contains(u"cannot write the report \"/dev/full\": No space left on device"_s),
                 qPrintable(full.err));
        QVERIFY2(!full.err.contains(u"missing.xlsx"_s), qPrintable(full.err));

        // A disk that fills during the run: the first row fits, the second does not.
        const QString mountPoint = dir.path() + u"/small"_s;
        QVERIFY(QDir().mkpath(mountPoint));
        const TinyFileSystem small(mountPoint);
        if (!small.mounted())
            QSKIP("mounting a 4 KiB tmpfs needs root; /dev/full above covers the report's first write");
        const QString report = mountPoint + u"/run.csv"_s;
        // Two long paths that do not exist: each row holds its path twice, about 3 KiB.
        const QString first = dir.path() + u"/"_s + QString(1500, u'a') + u".xlsx"_s;
        const QString second = dir.path() + u"/"_s + QString(1500, u'b') + u".xlsx"_s;
        const CommandRun run
            = CommandRun::of(pdf + QStringList{u"--report"_s, report, first, second}, withoutPrinters());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"corvane-print: the report \""_s + report
                                  + u"\" is incomplete, a row could not be written: No space left on device"_s),
                 qPrintable(run.err.right(400)));
        QFile written(report);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> rows = written.readAll().split('\n');
        // The header and the first entry's row, each whole, and nothing of the second.
        QCOMPARE(rows.size(), 3);
        const QByteArray firstRow = "1," + first.toUtf8() + ",failed,116,";
        QVERIFY(rows.at(1).startsWith(firstRow));
        QVERIFY(rows.at(2).isEmpty());
    }

    void aBrokenProfileTemplateIsMadeAgain()
    {
        QTemporaryDir dir;
        QProcessEnvironment environment = withoutPrinters();
        environment.insert(u"XDG_CACHE_HOME"_s, dir.path() + u"/cache"_s);
        const QString workbook = QStringLiteral(CORVANE_SOURCE_DIR "/resources/Samples/Inventory.ods");
        const CommandRun first
            = CommandRun::of({u"--yes"_s, u"--pdf"_s, dir.path() + u"/first"_s, workbook}, environment);
        QVERIFY2(first.exitCode == 0, qPrintable(first.err));
        const QDir cache(dir.path() + u"/cache/corvane"_s);
        const QStringList made = cache.entryList({u"libreoffice-profile-*"_s}, QDir::Dirs);
        QCOMPARE(made.size(), 1);
        const QString folder = cache.filePath(made.first());

        // An empty folder in its place once failed every workbook until removed by hand.
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(QDir().mkpath(folder));
        const CommandRun second
            = CommandRun::of({u"--yes"_s, u"--pdf"_s, dir.path() + u"/second"_s, workbook}, environment);
        QVERIFY2(second.exitCode == 0, qPrintable(second.err));
        QVERIFY(QFile::exists(dir.path() + u"/second/Inventory.pdf"_s));
        QVERIFY(QFileInfo(folder + u"/user/registrymodifications.xcu"_s).isFile());
    }

    void verboseTellsOfEachOfficeAndEachCall()
    {
        QTemporaryDir dir;
        const QString workbook = QStringLiteral(CORVANE_SOURCE_DIR "/resources/Samples/Inventory.ods");
        const CommandRun run
            = CommandRun::of({u"--verbose"_s, u"--yes"_s, u"--pdf"_s, dir.path(), workbook}, withoutPrinters());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(QFile::exists(dir.path() + u"/Inventory.pdf"_s));
        const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
        const auto said = [&lines](const QString &pattern) {
            const QRegularExpression expression(u"^corvane-print: +\\d+\\.\\d+ "_s + pattern);
            return std::count_if(lines.cbegin(), lines.cend(),
                                 [&expression](const QString &line) { return expression.match(line).hasMatch(); });
        };
        // The workbook's office: its start, every call and how long it took, its end.
        QVERIFY2(said(u"corvane\\.office: started \\S+soffice\\S* as process \\d+ in \\S+/office-"_s) >= 1,
                 qPrintable(run.err));
        for (const QString &call : {u"starting"_s, u"opening \"[^\"]+Inventory.ods\""_s, u"reading the active sheet"_s,
                                    u"laying out the pages"_s, u"rendering the pages"_s, u"closing the workbooks"_s}) {
            QVERIFY2(said(u"corvane\\.office: call: "_s + call + u"$"_s) >= 1, qPrintable(call + u"\n"_s + run.err));
            QVERIFY2(said(u"corvane\\.office: done: "_s + call + u" in \\d+ ms$"_s) >= 1,
                     qPrintable(call + u"\n"_s + run.err));
        }
        QVERIFY2(said(u"corvane\\.office: call: quitting$"_s) == 1, qPrintable(run.err));
        QVERIFY2(said(u"corvane\\.office: process \\d+ ended "_s) >= 1, qPrintable(run.err));
        QVERIFY2(said(u"corvane\\.run: line 116$"_s) == 1, qPrintable(run.err));

        // Without it the run says nothing of the sort.
        const CommandRun quiet = CommandRun::of({u"--yes"_s, u"--pdf"_s, dir.path(), workbook}, withoutPrinters());
        QCOMPARE(quiet.exitCode, 0);
        QVERIFY2(!quiet.err.contains(u"corvane."_s), qPrintable(quiet.err));
    }

    void aMergedPdfNeverReplacesAFileUnlessForced()
    {
        QTemporaryDir dir;
        const QString merged = dir.filePath(u"run.pdf"_s);
        QFile existing(merged);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("someone's file");
        existing.close();
        const CommandRun run = CommandRun::of({u"--merge-pdf"_s, merged, dir.filePath(u"a.xlsx"_s)}, withoutPrinters());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(u"--force"_s), qPrintable(run.err));
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("someone's file"));
        // Nothing of the refused run is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"run.pdf"_s});
    }

    void helpAndVersion()
    {
        const CommandRun help = CommandRun::of({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        for (const QString &option : {u"--printer"_s, u"--all-sheets"_s, u"--extension"_s, u"--yes"_s, u"--list"_s,
                                      u"--timeout"_s, u"--fit-width"_s, u"--fit-page"_s, u"--paper"_s,
                                      u"--orientation"_s, u"--single-page-sheets"_s, u"--merge-pdf"_s, u"--force"_s})
            QVERIFY2(help.out.contains(option), qPrintable(option));
        const CommandRun version = CommandRun::of({u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.startsWith(u"corvane-print "_s));
    }

    // What a reader sees: the page as man renders it, where a broken request
    // can run an option into the paragraph before it.
    void eachOptionOfTheHelpStartsAnItemOfTheRenderedManualPage()
    {
        // An option line of --help: "  -p, --printer <NAME>  text"; an item of
        // the page: its tag at the left margin of the section's text.
        const QRegularExpression helpOption(u"^  (?:-[a-zA-Z], )?(--[a-z][a-z-]*)"_s);
        const QRegularExpression pageItem(u"^ {7}(?:-[a-zA-Z], )?(--[a-z][a-z-]*)"_s);
        const CommandRun help = CommandRun::of({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QStringList fromHelp;
        for (const QString &line : help.out.split(u'\n')) {
            const QRegularExpressionMatch match = helpOption.match(line);
            if (match.hasMatch())
                fromHelp << match.captured(1);
        }
        fromHelp.sort();

        QProcess man;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Plain ASCII (no typographic hyphens), lines long enough for any tag.
        environment.insert(u"LC_ALL"_s, u"C"_s);
        environment.insert(u"MANWIDTH"_s, u"160"_s);
        man.setProcessEnvironment(environment);
        man.start(u"man"_s, {u"-l"_s, QStringLiteral(CORVANE_SOURCE_DIR "/docs/man/corvane-print.1")});
        QVERIFY2(man.waitForFinished(60000), "man did not finish");
        QCOMPARE(man.exitCode(), 0);
        const QString page = QString::fromLocal8Bit(man.readAllStandardOutput());
        QStringList fromPage;
        for (const QString &line : page.split(u'\n')) {
            const QRegularExpressionMatch match = pageItem.match(line);
            if (match.hasMatch())
                fromPage << match.captured(1);
        }
        fromPage.sort();
        QVERIFY2(fromHelp.size() >= 15, qPrintable(help.out));
        QCOMPARE(fromPage, fromHelp);
    }

    void noPrinterToPrintOnExitsWithTwo()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.path() + u"/a.xlsx"_s));
        const CommandRun run = CommandRun::of({dir.path() + u"/a.xlsx"_s}, withoutPrinters());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(u"no printer"_s), qPrintable(run.err));
        // Which print server was asked, not what its socket said.
        QVERIFY2(run.err.contains(u"/nonexistent/cups.sock"_s), qPrintable(run.err));
    }

    void aPrintServerOnAnotherPortIsNamedWithIt()
    {
        QTemporaryDir dir;
        QVERIFY(touch(dir.path() + u"/a.xlsx"_s));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Nothing listens on port 9: the address in the report must say which server was asked.
        environment.insert(u"CUPS_SERVER"_s, u"127.0.0.1:9"_s);
        const CommandRun run = CommandRun::of({u"-p"_s, u"Q"_s, dir.path() + u"/a.xlsx"_s}, environment);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(u"the printers cannot be listed"_s) && run.err.contains(u"127.0.0.1:9"_s),
                 qPrintable(run.err));
    }

    void aPrintServerThatNeverAnswersFailsTheRunWithinSeconds_data()
    {
        QTest::addColumn<QStringList>("printer");
        QTest::addColumn<QString>("message");
        QTest::newRow("a printer named") << QStringList{u"-p"_s, u"Q"_s} << u"the printers cannot be listed"_s;
        QTest::newRow("the default printer") << QStringList() << u"no printer given"_s;
    }
    void aPrintServerThatNeverAnswersFailsTheRunWithinSeconds()
    {
        QFETCH(QStringList, printer);
        QFETCH(QString, message);
        HungPrintServer server;
        QVERIFY(server.isListening());
        QTemporaryDir dir;
        QVERIFY(touch(dir.path() + u"/a.xlsx"_s));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"CUPS_SERVER"_s, server.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral(CORVANE_PRINT_BINARY), printer + QStringList{dir.path() + u"/a.xlsx"_s});
        const bool finished = process.waitForFinished(30000);
        const qint64 took = timer.elapsed();
        if (!finished)
            process.kill();
        QVERIFY2(finished && took < 15000, qPrintable(QString::number(took)));
        QCOMPARE(process.exitCode(), 2);
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(err.contains(message) && err.contains(server.path() + u" did not answer within"_s), qPrintable(err));
    }

    void aTerminationRequestEndsTheWaitForAPrintServer_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("Ctrl+C") << int(SIGINT);
    }
    void aTerminationRequestEndsTheWaitForAPrintServer()
    {
        QFETCH(int, signal);
        HungPrintServer server;
        QVERIFY(server.isListening());
        QTemporaryDir dir;
        QVERIFY(touch(dir.path() + u"/a.xlsx"_s));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"CUPS_SERVER"_s, server.path());
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(CORVANE_PRINT_BINARY), {u"-p"_s, u"Q"_s, dir.path() + u"/a.xlsx"_s});
        QVERIFY(process.waitForStarted());
        QTest::qWait(1500);
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(process.processId()), signal);
        if (signal == SIGINT) {
            // The first one stops "after the current workbook": the second one at once.
            QTest::qWait(200);
            ::kill(pid_t(process.processId()), signal);
        }
        QVERIFY(process.waitForFinished(10000));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(process.exitCode(), 130);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_cli.moc"
