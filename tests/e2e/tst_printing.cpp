// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the print run with the real LibreOffice and a private CUPS
// server, checked by the text of what was printed.
#include "core/filelist/folderwalk.h"
#include "core/printing/engineapplication.h"
#include "core/printing/engineerror.h"
#include "core/printing/enginesheet.h"
#include "core/printing/engineworkbook.h"
#include "core/printing/engineworkbooks.h"
#include "core/printing/printrun.h"
#include "core/printing/printrunview.h"
#include "core/printing/steprunner.h"
#include "e2e/officeleftovers.h"
#include "e2e/printedjobs.h"
#include "engine/cups/cupsprintersystem.h"
#include "engine/libreoffice/libreofficeapplication.h"
#include "engine/libreoffice/libreofficeengine.h"
#include "engine/libreoffice/profiletemplate.h"
#include "support/fakeprompts.h"
#include "support/withoutuseroffice.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class ListView final : public PrintRunView
{
public:
    ListView(QStringList entries, QString printer, bool allSheets)
        : m_entries(std::move(entries))
        , m_printer(std::move(printer))
        , m_allSheets(allSheets)
    {}
    int entryCount() override { return int(m_entries.size()); }
    QString entry(int i) override { return m_entries.at(i - 1); }
    QString printerName() override { return m_printer; }
    bool printActiveSheet() override { return !m_allSheets; }
    bool printAllSheets() override { return m_allSheets; }
    void setProgress(double) override {}
    void setBusy(bool) override {}

private:
    QStringList m_entries;
    QString m_printer;
    bool m_allSheets;
};

QString environment(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

// Every file below folder with a hash of its bytes, to prove nothing changed.
QMap<QString, QByteArray> fingerprint(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files.insert(path, QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return files;
}

// Offices of this test program still running, and what they left.
QStringList leftovers()
{
    return OfficeLeftovers::of(QCoreApplication::applicationPid());
}

// Whether any process of the group still runs (zombies waiting for their reaper do not).
bool groupRuns(int group)
{
    QDirIterator processes(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (processes.hasNext()) {
        QFile stat(processes.next() + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
        if (fields.size() > 2 && fields[2].toInt() == group && fields[0] != "Z")
            return true;
    }
    return false;
}

} // namespace

class PrintingTest final : public QObject
{
    Q_OBJECT

private:
    QString m_workbooks;
    PrintedJobs m_jobs{environment("CORVANE_E2E_DIR") + u"/cups"_s};
    CupsPrinterSystem m_printers;
    QMap<QString, QByteArray> m_before;
    QStringList m_leftoversBefore;

    QString workbook(const QString &name) const { return m_workbooks + u'/' + name; }

    // Runs a print run; returns the texts of the jobs it added to queue.
    QStringList print(const QStringList &entries, bool allSheets, FakePrompts &prompts,
                      const QString &queue = u"Office"_s)
    {
        const int before = int(m_jobs.files(queue).size());
        LibreOfficeEngine office(m_printers);
        WithoutUserOffice engine(office);
        ListView view(entries, queue, allSheets);
        DirectStepRunner runner;
        PrintRun run(engine, prompts, view, runner);
        run.Start();
        const int printed = run.summary().workbooks - run.summary().failedWorkbooks;
        return m_jobs.waitForTexts(queue, before + printed).mid(before);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_workbooks = environment("CORVANE_E2E_DIR") + u"/workbooks"_s;
        QVERIFY2(QFileInfo(workbook(u"three-sheets.xlsx"_s)).isFile(), "the e2e fixture has not run");
        QVERIFY2(!environment("CUPS_SERVER").isEmpty(), "CUPS_SERVER must name the private server");
        // The profile template and the settings go to a home of the tests' own.
        const passwd *user = ::getpwuid(::getuid());
        QVERIFY(user != nullptr);
        QVERIFY2(QDir(QDir::homePath()).canonicalPath() != QDir(QString::fromLocal8Bit(user->pw_dir)).canonicalPath(),
                 "the tests must run with a HOME of their own");
        QCOMPARE(m_printers.printerNames(), (QStringList{u"Europe"_s, u"Office"_s, u"Second"_s}));
        QCOMPARE(m_printers.defaultPrinterName(), u"Office"_s);
        m_before = fingerprint(m_workbooks);
        m_leftoversBefore = leftovers();
    }

    void linksPlantedWhereOfficesWorkSurviveARun()
    {
        QProcess gone;
        gone.start(u"sleep"_s, {u"0.05"_s});
        QVERIFY(gone.waitForStarted());
        const qint64 gonePid = gone.processId();
        QVERIFY(gone.waitForFinished());
        QTemporaryDir target;
        QVERIFY(QDir().mkpath(target.path() + u"/inside"_s));
        QFile precious(target.path() + u"/precious.txt"_s);
        QVERIFY(precious.open(QIODevice::WriteOnly));
        precious.write("keep me");
        precious.close();
        const QMap<QString, QByteArray> before = fingerprint(target.path());

        // Named like the folders of a program that is gone, in the shared
        // temporary folder (as earlier versions made them) and in the workspace.
        const QString inTemp = QDir::tempPath() + u"/corvane-%1-abcdef"_s.arg(gonePid);
        const QString workspace = OfficeWorkspace::defaultLocation();
        QDir().mkpath(workspace);
        const QString inWorkspace = workspace + u"/office-%1-abcdef"_s.arg(gonePid);
        QVERIFY(QFile::link(target.path(), inTemp));
        QVERIFY(QFile::link(target.path(), inWorkspace));

        FakePrompts prompts;
        QCOMPARE(print({workbook(u"two-sheets.ods"_s)}, false, prompts).size(), 1);

        QVERIFY(QFileInfo(inTemp).isSymLink());
        QVERIFY(QFileInfo(inWorkspace).isSymLink());
        QCOMPARE(fingerprint(target.path()), before);
        QVERIFY(QFileInfo(target.path() + u"/inside"_s).isDir());
        QFile::remove(inTemp);
        QFile::remove(inWorkspace);
    }

    void anOfficeInheritsNoDescriptorOfTheProgram()
    {
        QTemporaryDir dir;
        const QString marker = dir.path() + u"/marker"_s;
        // Opened the way a careless library would: without close-on-exec.
        const int fd = ::open(QFile::encodeName(marker).constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd > 2);
        LibreOfficeEngine engine(m_printers);
        std::unique_ptr<EngineApplication> application = engine.createInstance();
        const int office = dynamic_cast<LibreOfficeApplication &>(*application).processGroup();
        const QDir fds(u"/proc/%1/fd"_s.arg(office));
        QStringList inherited;
        for (const QString &entry : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            const QString target = QFile::symLinkTarget(fds.filePath(entry));
            if (target == marker)
                inherited << entry + u" -> "_s + target;
        }
        ::close(fd);
        application->Quit();
        QVERIFY2(inherited.isEmpty(), qPrintable(inherited.join(u", "_s)));
    }

    void activeSheetOnlyOrEverySheetInListOrder()
    {
        FakePrompts prompts;
        const QStringList active
            = print({workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s), workbook(u"legacy.xls"_s)}, false,
                    prompts);
        QCOMPARE(active.size(), 3);
        QVERIFY2(active[0].contains(u"BRAVO-TEXT"_s), qPrintable(active[0]));
        QVERIFY(!active[0].contains(u"ALPHA-TEXT"_s) && !active[0].contains(u"CHARLIE-TEXT"_s));
        QVERIFY(active[1].contains(u"ONE-TEXT"_s) && !active[1].contains(u"TWO-TEXT"_s));
        QVERIFY(active[2].contains(u"LEGACY-TWO"_s) && !active[2].contains(u"LEGACY-ONE"_s));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, u"Done."_s);

        const QStringList all = print({workbook(u"three-sheets.xlsx"_s)}, true, prompts);
        QCOMPARE(all.size(), 1);
        for (const QString &word : {u"ALPHA-TEXT"_s, u"BRAVO-TEXT"_s, u"CHARLIE-TEXT"_s})
            QVERIFY2(all[0].contains(word), qPrintable(all[0]));
    }

    void theProfileTemplateSparesOfficesTheirFirstStartWork()
    {
        // Without the version recorded, every office started from a copy of the
        // template would run LibreOffice's graphics self-tests first: most of
        // its start-up time. The restart flag of a new profile must be cleared.
        FakePrompts prompts;
        QCOMPARE(print({workbook(u"legacy.xls"_s)}, false, prompts).size(), 1);
        QFile settings(ProfileTemplate::folderFor(LibreOfficeEngine::findProgram())
                       + u"/user/registrymodifications.xcu"_s);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(settings.readAll());

        QProcess office;
        office.start(QFileInfo(LibreOfficeEngine::findProgram()).canonicalPath() + u"/soffice.bin"_s, {u"--version"_s});
        QVERIFY(office.waitForFinished(60000));
        const QRegularExpressionMatch version
            = QRegularExpression(u"\\s(\\d+\\.\\d+)\\."_s).match(QString::fromUtf8(office.readAllStandardOutput()));
        QVERIFY(version.hasMatch());
        QVERIFY2(text.contains(u"<prop oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>"_s + version.captured(1)
                               + u"</value>"_s),
                 qPrintable(text));
        QVERIFY2(!text.contains(u"<prop oor:name=\"OfficeRestartInProgress\" oor:op=\"fuse\"><value>true"_s),
                 qPrintable(text));
    }

    void groupedSheetsPrintOnlyTheActiveOne()
    {
        FakePrompts prompts;
        const QStringList active = print({workbook(u"grouped.xlsx"_s)}, false, prompts);
        QCOMPARE(active.size(), 1);
        QVERIFY2(active[0].contains(u"GROUP-ONE"_s), qPrintable(active[0]));
        QVERIFY2(!active[0].contains(u"GROUP-TWO"_s), qPrintable(active[0]));
    }

    void anEmptyActiveSheetPrintsNothingAndSaysSo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sheet");
        QTest::newRow("between two full sheets") << u"empty-middle.xlsx"_s << u"S2"_s;
        QTest::newRow("the first sheet") << u"empty-first.ods"_s << u"S1"_s;
        QTest::newRow("the last sheet") << u"empty-last.xlsx"_s << u"S2"_s;
        QTest::newRow("bold cells only") << u"formatted-empty.xlsx"_s << u"Formatted"_s;
        // LibreOffice leaves a page of fill colours alone unprinted.
        QTest::newRow("fill colours only") << u"filled-area.ods"_s << u"Filled"_s;
        QTest::newRow("a print range over empty cells") << u"ranged-empty.ods"_s << u"Ranged"_s;
        // Its hidden view would name the full first sheet.
        QTest::newRow("an Excel 97-2003 workbook") << u"legacy-empty-active.xls"_s << u"E2"_s;
    }
    void anEmptyActiveSheetPrintsNothingAndSaysSo()
    {
        QFETCH(QString, file);
        QFETCH(QString, sheet);
        FakePrompts prompts;
        const int before = int(m_jobs.files(u"Office"_s).size());
        const QStringList printed = print({workbook(file)}, false, prompts);
        QVERIFY(printed.isEmpty());
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY2(prompts.messages[0].text.startsWith(
                     u"The active sheet \"%1\" is empty; nothing was printed.\r\n"_s.arg(sheet)),
                 qPrintable(prompts.messages[0].text));
        QVERIFY(prompts.messages[0].text.contains(u"at line 122\r"_s));
        QCOMPARE(prompts.messages[1].text, u"Done."_s);
        QTest::qWait(1500);
        QCOMPARE(int(m_jobs.files(u"Office"_s).size()), before);
    }

    void drawingsChartsAndPicturesAreContent()
    {
        FakePrompts prompts;
        const QStringList printed
            = print({workbook(u"shape-only.ods"_s), workbook(u"image-only.xlsx"_s), workbook(u"chart-only.xlsx"_s)},
                    false, prompts);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(printed.size(), 3);
        // The page header names the sheet printed.
        QVERIFY2(printed[0].contains(u"SHAPE-TEXT"_s) && !printed[0].contains(u"WORDS-TEXT"_s), qPrintable(printed[0]));
        QVERIFY2(printed[1].contains(u"Picture"_s) && !printed[1].contains(u"WORDS-TEXT"_s), qPrintable(printed[1]));
        QVERIFY2(printed[2].contains(u"Chart"_s) && !printed[2].contains(u"DATA-TEXT"_s), qPrintable(printed[2]));
    }

    void allSheetsSkipsTheEmptyOnes()
    {
        FakePrompts prompts;
        const QStringList printed = print({workbook(u"empty-middle.xlsx"_s)}, true, prompts);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(printed.size(), 1);
        QVERIFY(printed[0].contains(u"ALPHA-TEXT"_s) && printed[0].contains(u"CHARLIE-TEXT"_s));
    }

    void badFilesAreReportedAndTheGoodOnesStillPrint()
    {
        FakePrompts prompts;
        const QStringList bad{workbook(u"missing.xlsx"_s), workbook(u"empty.xlsx"_s), workbook(u"protected.xlsx"_s),
                              workbook(u"damaged.xlsx"_s), workbook(u"text.xlsx"_s)};
        QElapsedTimer timer;
        timer.start();
        const QStringList printed = print(bad + QStringList{workbook(u"two-sheets.ods"_s)}, false, prompts);
        QVERIFY2(timer.elapsed() < 120000, "a bad file must fail at once, not wait for a dialog");
        QCOMPARE(printed.size(), 1);
        QVERIFY(printed[0].contains(u"ONE-TEXT"_s));

        QCOMPARE(prompts.messages.size(), 5 * 5 + 1);
        for (int file = 0; file < 5; ++file) {
            QStringList lines;
            for (int k = 0; k < 5; ++k) {
                const FakePrompts::Message &m = prompts.messages[file * 5 + k];
                QCOMPARE(m.title, u"Application Error"_s);
                QCOMPARE(m.style, MessageStyle::OkExclamation);
                QVERIFY(m.text.contains(u"\r\nin Corvane5/20/2014.Form1.Start at line "_s));
                lines << m.text.section(u"at line "_s, 1).section(u'\r', 0, 0);
            }
            QCOMPARE(lines, (QStringList{u"116"_s, u"118"_s, u"122"_s, u"128"_s, u"130"_s}));
        }
        QVERIFY(prompts.messages[0].text.startsWith(u"The file \""_s));
        QVERIFY2(prompts.messages[5].text.contains(u"empty"_s), qPrintable(prompts.messages[5].text));
        QVERIFY2(prompts.messages[10].text.contains(u"password"_s), qPrintable(prompts.messages[10].text));
        QCOMPARE(prompts.messages.last().text, u"Done."_s);
    }

    void aNameNotInTheSystemsEncodingIsListedAndReportedAsSuch()
    {
        QTemporaryDir dir;
        const QByteArray name = QFile::encodeName(dir.path()) + "/caf\xe9.xlsx"; // Latin-1, not UTF-8
        QFile source(workbook(u"two-sheets.ods"_s));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray bytes = source.readAll();
        // Made with the bytes of the name: through QString it would be re-encoded.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, bytes.constData(), std::size_t(bytes.size())), ssize_t(bytes.size()));
        ::close(fd);
        const QStringList listed = AddFolder::CollectFiles(dir.path(), u"*.xlsx"_s);
        QCOMPARE(listed.size(), 1); // never skipped for its characters
        FakePrompts prompts;
        print(listed, false, prompts);
        QVERIFY(prompts.messages.size() >= 2);
        QVERIFY2(prompts.messages[0].text.contains(u"cannot be read in the system's encoding"_s),
                 qPrintable(prompts.messages[0].text));
        QVERIFY(prompts.messages[0].text.contains(u"at line 116\r"_s));
    }

    void anUnknownPrinterFailsThePrintStepOnly()
    {
        FakePrompts prompts;
        const int before = int(m_jobs.files(u"Office"_s).size());
        LibreOfficeEngine office(m_printers);
        WithoutUserOffice engine(office);
        ListView view({workbook(u"three-sheets.xlsx"_s)}, u"NoSuchQueue"_s, true);
        DirectStepRunner runner;
        PrintRun run(engine, prompts, view, runner);
        run.Start();
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY(prompts.messages[0].text.startsWith(u"There is no printer named \"NoSuchQueue\"."_s));
        QVERIFY(prompts.messages[0].text.contains(u"at line 126\r"_s));
        QCOMPARE(prompts.messages[1].text, u"Done."_s);
        QTest::qWait(2000);
        QCOMPARE(m_jobs.files(u"Office"_s).size(), before);
    }

    void aHungEngineIsCutOffByTheTimeBound()
    {
        LibreOfficeEngine engine(m_printers, 4000);
        std::unique_ptr<EngineApplication> application = engine.createInstance();
        application->Workbooks().Open(workbook(u"three-sheets.xlsx"_s));
        const int group = dynamic_cast<LibreOfficeApplication &>(*application).processGroup();
        QVERIFY(group > 0);
        ::kill(-group, SIGSTOP);
        QElapsedTimer timer;
        timer.start();
        try {
            application->Workbooks().item(1)->PrintOut(u"Office"_s);
            QFAIL("printing on a hung engine succeeded");
        } catch (const EngineError &error) {
            QVERIFY2(error.description().contains(u"within 4 seconds"_s), qPrintable(error.description()));
        }
        QVERIFY(timer.elapsed() < 30000);

        // The office is gone: the steps after are skipped, not failures of their own.
        for (const auto &step : {std::function<void()>([&] { application->Workbooks().Close(); }),
                                 std::function<void()>([&] { application->Quit(); })}) {
            try {
                step();
                QFAIL("a step after the office was stopped succeeded");
            } catch (const EngineError &error) {
                QVERIFY2(error.description().startsWith(u"This step was skipped: LibreOffice had been stopped"_s),
                         qPrintable(error.description()));
            }
        }
        application.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!groupRuns(group), 5000);
    }

    void aHungQuitIsReportedAsSuch()
    {
        LibreOfficeEngine engine(m_printers, 4000);
        std::unique_ptr<EngineApplication> application = engine.createInstance();
        application->Workbooks().Open(workbook(u"three-sheets.xlsx"_s));
        application->Workbooks().Close();
        const int group = dynamic_cast<LibreOfficeApplication &>(*application).processGroup();
        ::kill(-group, SIGSTOP);
        try {
            application->Quit();
            QFAIL("a hung quit was taken for a quit");
        } catch (const EngineError &error) {
            QCOMPARE(error.description(), u"LibreOffice did not quit within 4 seconds and was stopped."_s);
        }
        application.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!groupRuns(group), 5000);
    }

    void theSampleWorkbooksPrint()
    {
        const QString samples = environment("CORVANE_SAMPLES_DIR");
        QStringList entries;
        for (const QString &name : QDir(samples).entryList(QDir::Files))
            entries << samples + u'/' + name;
        QVERIFY(entries.size() >= 3);
        FakePrompts prompts;
        const QStringList printed = print(entries, false, prompts);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text, u"Done."_s);
        QCOMPARE(printed.size(), entries.size());
        QVERIFY2(printed[0].contains(u"Expenses"_s), qPrintable(printed[0]));
    }

    void nothingIsLeftBehindAndNoWorkbookChanged()
    {
        QTRY_COMPARE_WITH_TIMEOUT(leftovers(), m_leftoversBefore, 10000);
        QCOMPARE(fingerprint(m_workbooks), m_before);
        for (const QString &name : QDir(m_workbooks).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(!name.startsWith(u".~lock"_s), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(PrintingTest)
#include "tst_printing.moc"
