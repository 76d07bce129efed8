// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandrun.h"
#include "hungprintserver.h"
#include "testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

QProcessEnvironment withoutPrinters()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, u"/nonexistent/cups.sock"_s);
    return environment;
}

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

    void anEmptyListPrintsNothingAndSucceeds()
    {
        QTemporaryDir dir;
        const CommandRun run = CommandRun::of({dir.path()}, withoutPrinters());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, u"No files added.\n"_s);
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
    }
    void usageErrorsExitWithTwo()
    {
        QFETCH(QStringList, arguments);
        const CommandRun run = CommandRun::of(arguments, withoutPrinters());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(u"corvane-print: "_s), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void helpAndVersion()
    {
        const CommandRun help = CommandRun::of({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        for (const QString &option :
             {u"--printer"_s, u"--all-sheets"_s, u"--extension"_s, u"--yes"_s, u"--list"_s, u"--timeout"_s})
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
