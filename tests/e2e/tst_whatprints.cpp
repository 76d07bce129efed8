// SPDX-License-Identifier: GPL-3.0-or-later
// End to end, what reaches the printer: every page on the paper it was laid
// out on, whatever the queue's default paper; no white page for a sheet that
// draws nothing; no job for a workbook that needs a password, whatever its
// encryption. The real LibreOffice and the private CUPS server, whose
// "Second" queue defaults to Letter and "Europe" to A4.
#include "e2e/printedjobs.h"
#include "support/commandrun.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString workbook(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("CORVANE_E2E_DIR")) + u"/workbooks/"_s + name;
}

const QSize a4(595, 842);
const QSize letter(612, 792);
// A3 paper; a landscape A3 page is printed across it.
const QSize a3(842, 1191);

// A job as the printer got it.
struct Job
{
    QString file;
    QList<QSize> pages;
    QString text;
    QString media;
};

} // namespace

class WhatPrintsTest final : public QObject
{
    Q_OBJECT

private:
    PrintedJobs m_jobs{QString::fromLocal8Bit(qgetenv("CORVANE_E2E_DIR")) + u"/cups"_s};

    // Prints on queue and returns the jobs that arrived, oldest first; none
    // when the run did not end with expectedExit.
    QList<Job> print(const QString &queue, const QStringList &arguments, int expectedJobs, int expectedExit = 0)
    {
        const auto before = m_jobs.files(queue).size();
        const CommandRun run = CommandRun::of(QStringList{u"--yes"_s, u"-p"_s, queue} + arguments);
        if (run.exitCode != expectedExit) {
            qWarning("%s", qPrintable(run.err));
            return {};
        }
        m_jobs.waitForTexts(queue, int(before) + expectedJobs);
        QList<Job> jobs;
        static const QRegularExpression media(u"\\bmedia=(\\S+)"_s);
        for (const QString &file : m_jobs.files(queue).mid(before))
            jobs.append({file, PrintedJobs::pageSizes(file), PrintedJobs::text(file),
                         media.match(PrintedJobs::options(file)).captured(1)});
        return jobs;
    }

private Q_SLOTS:
    void aWorkbookArrivesOnItsOwnPaperWhateverTheQueuesDefault_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QSize>("paper");
        QTest::addColumn<QString>("media");
        QTest::newRow("A4 on a Letter queue")
            << u"Second"_s << u"a4-paper.xlsx"_s << u"A4-TEXT"_s << a4 << u"iso_a4_210x297mm"_s;
        QTest::newRow("Letter on an A4 queue")
            << u"Europe"_s << u"letter-paper.xlsx"_s << u"LETTER-TEXT"_s << letter << u"na_letter_8.5x11in"_s;
        QTest::newRow("A4 on an A4 queue")
            << u"Europe"_s << u"a4-paper.xlsx"_s << u"A4-TEXT"_s << a4 << u"iso_a4_210x297mm"_s;
    }
    void aWorkbookArrivesOnItsOwnPaperWhateverTheQueuesDefault()
    {
        QFETCH(QString, queue);
        QFETCH(QString, file);
        QFETCH(QString, word);
        QFETCH(QSize, paper);
        QFETCH(QString, media);
        const QList<Job> jobs = print(queue, {workbook(file)}, 1);
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(jobs[0].pages, QList<QSize>{paper});
        QCOMPARE(jobs[0].media, media);
        QVERIFY(jobs[0].text.contains(word));
    }

    void aPaperAskedForWinsOverTheWorkbooksOwn()
    {
        const QList<Job> jobs = print(u"Europe"_s, {u"--paper"_s, u"Letter"_s, workbook(u"a4-paper.xlsx"_s)}, 1);
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(jobs[0].pages, QList<QSize>{letter});
        QCOMPARE(jobs[0].media, u"na_letter_8.5x11in"_s);
    }

    void sheetsOnDifferentPapersGoAsAJobForEachPaperInOrder()
    {
        // Landscape A3, upright A4, landscape A3: no page is shrunk onto
        // another's paper, and the sheets come out in the workbook's order.
        const QList<Job> jobs = print(u"Europe"_s, {u"-a"_s, workbook(u"mixed-paper.ods"_s)}, 3);
        QCOMPARE(jobs.size(), 3);
        const QList<QList<QSize>> pages{jobs[0].pages, jobs[1].pages, jobs[2].pages};
        QCOMPARE(pages, (QList<QList<QSize>>{{a3}, {a4}, {a3}}));
        QVERIFY(jobs[0].text.contains(u"BROAD-ONE"_s));
        QVERIFY(jobs[1].text.contains(u"UPRIGHT-TEXT"_s));
        QVERIFY(jobs[2].text.contains(u"BROAD-TWO"_s));
        QCOMPARE(PrintedJobs::title(jobs[1].file), u"mixed-paper.ods"_s);

        // The active sheet alone is one paper: one job.
        const QList<Job> active = print(u"Second"_s, {workbook(u"mixed-paper.ods"_s)}, 1);
        QCOMPARE(active.size(), 1);
        QCOMPARE(active[0].pages, QList<QSize>{a4});
        QVERIFY(active[0].text.contains(u"UPRIGHT-TEXT"_s));
    }

    void collatedCopiesOfMixedPapersAreWholeCopies()
    {
        const QList<Job> jobs
            = print(u"Europe"_s, {u"-a"_s, u"--copies"_s, u"2"_s, u"--collate"_s, workbook(u"mixed-paper.ods"_s)}, 6);
        QStringList order;
        for (const Job &job : jobs)
            order << job.text.simplified().section(u' ', 0, 0);
        QCOMPARE(order,
                 (QStringList{u"BROAD-ONE"_s, u"UPRIGHT-TEXT"_s, u"BROAD-TWO"_s, u"BROAD-ONE"_s, u"UPRIGHT-TEXT"_s,
                              u"BROAD-TWO"_s}));
    }

    void aSheetThatDrawsNothingIsRefusedOnPaperAndInThePdf()
    {
        // Its only cell holds an empty text: LibreOffice lays out a page and draws nothing on it.
        const QString blank = workbook(u"empty-text.xls"_s);
        const auto before = m_jobs.files(u"Second"_s).size();
        const CommandRun printed = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, blank});
        QCOMPARE(printed.exitCode, 1);
        QVERIFY2(printed.err.contains(u"Application Error: The active sheet \"Blank\" is empty; nothing was printed.\n"
                                      u"in Corvane5/20/2014.Form1.Start at line 122"_s),
                 qPrintable(printed.err));

        QTemporaryDir out;
        const CommandRun exported = CommandRun::of({u"--yes"_s, u"--pdf"_s, out.path(), blank});
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(exported.err.contains(u"The active sheet \"Blank\" is empty"_s), qPrintable(exported.err));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());

        // The barrier: a job printed after the refused one arrives alone.
        const QList<Job> next = print(u"Second"_s, {workbook(u"a4-paper.xlsx"_s)}, 1);
        QCOMPARE(m_jobs.files(u"Second"_s).size(), before + 1);
        QCOMPARE(next.size(), 1);

        // All sheets: the workbook has something to print, so it prints.
        // (A blank sheet among others keeps its white page, as in the PDF.)
        const QList<Job> all = print(u"Second"_s, {u"-a"_s, blank}, 1);
        QCOMPARE(all.size(), 1);
        QVERIFY(all[0].text.contains(u"WORDS-TEXT"_s));
    }

    void aWorkbookThatNeedsAPasswordSaysSoWhateverItsEncryption_data()
    {
        QTest::addColumn<QString>("file");
        // Asked for its password by LibreOffice.
        QTest::newRow("RC4 CryptoAPI, version 4") << u"encrypted-cryptoapi.xls"_s;
        // Refused by an error code without asking.
        QTest::newRow("RC4 CryptoAPI, version 2") << u"encrypted-cryptoapi-v2.xls"_s;
        QTest::newRow("OOXML") << u"protected.xlsx"_s;
    }
    void aWorkbookThatNeedsAPasswordSaysSoWhateverItsEncryption()
    {
        QFETCH(QString, file);
        const QString report = u"Application Error: The workbook is protected by a password. (\""_s + workbook(file)
            + u"\")\nin Corvane5/20/2014.Form1.Start at line 116"_s;
        const auto before = m_jobs.files(u"Second"_s).size();
        const CommandRun printed = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, workbook(file)});
        QCOMPARE(printed.exitCode, 1);
        QVERIFY2(printed.err.contains(report), qPrintable(printed.err));

        QTemporaryDir out;
        const CommandRun exported = CommandRun::of({u"--yes"_s, u"--pdf"_s, out.path(), workbook(file)});
        QCOMPARE(exported.exitCode, 1);
        QVERIFY2(exported.err.contains(report), qPrintable(exported.err));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());

        // The barrier: the next job is the only one since.
        QCOMPARE(print(u"Second"_s, {workbook(u"a4-paper.xlsx"_s)}, 1).size(), 1);
        QCOMPARE(m_jobs.files(u"Second"_s).size(), before + 1);
    }
};

QTEST_GUILESS_MAIN(WhatPrintsTest)
#include "tst_whatprints.moc"
