// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: corvane-print's page setup (fit, paper, orientation, one page
// per sheet) and the merged PDF of a run, on paper and in PDFs alike, with the
// real LibreOffice and the private CUPS server.
#include "e2e/officeleftovers.h"
#include "e2e/printedjobs.h"
#include "support/commandrun.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>

#include <csignal>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString workbook(const QString &name)
{
    return QString::fromLocal8Bit(qgetenv("CORVANE_E2E_DIR")) + u"/workbooks/"_s + name;
}

QByteArray checksum(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return hash.result();
}

QStringList columnWords()
{
    QStringList words;
    for (int column = 1; column <= 40; ++column)
        words << u"COLUMN%1-WORD"_s.arg(column, 2, 10, QLatin1Char('0'));
    return words;
}

QStringList missing(const QString &text, const QStringList &words)
{
    QStringList absent;
    for (const QString &word : words) {
        if (!text.contains(word))
            absent << word;
    }
    return absent;
}

// The bookmarks of a PDF: each title with the page it leads to, counted from 1.
QList<std::pair<QString, int>> bookmarks(const QString &pdf)
{
    QPDF document;
    document.processFile(QFile::encodeName(pdf).constData());
    const std::vector<QPDFObjectHandle> &pages = document.getAllPages();
    QPDFOutlineDocumentHelper outlines(document);
    QList<std::pair<QString, int>> found;
    for (QPDFOutlineObjectHelper &item : outlines.getTopLevelOutlines()) {
        const QPDFObjectHandle target = item.getDestPage();
        int number = 0;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (pages[i].getObjGen() == target.getObjGen())
                number = int(i) + 1;
        }
        found.append({QString::fromStdString(item.getTitle()), number});
    }
    return found;
}

QStringList pageTexts(const QString &pdf)
{
    QStringList texts;
    const auto count = PrintedJobs::pageSizes(pdf).size();
    for (int page = 1; page <= count; ++page)
        texts << PrintedJobs::pageText(pdf, page);
    return texts;
}

} // namespace

class PageSetupTest final : public QObject
{
    Q_OBJECT

private:
    PrintedJobs m_jobs{QString::fromLocal8Bit(qgetenv("CORVANE_E2E_DIR")) + u"/cups"_s};
    QByteArray m_wideChecksum;

    // Prints on "Second" and returns the job's file; empty when none came.
    QString printed(const QStringList &arguments, int expectedExit = 0)
    {
        const int before = int(m_jobs.files(u"Second"_s).size());
        const CommandRun run = CommandRun::of(QStringList{u"--yes"_s, u"-p"_s, u"Second"_s} + arguments);
        if (run.exitCode != expectedExit) {
            qWarning("%s", qPrintable(run.err));
            return {};
        }
        m_jobs.waitForTexts(u"Second"_s, before + 1);
        const QStringList files = m_jobs.files(u"Second"_s);
        return files.size() > before ? files.last() : QString();
    }

    // Writes a PDF of the arguments' workbooks into a fresh folder and returns the first one.
    static QString exported(const QTemporaryDir &dir, const QStringList &arguments)
    {
        const QString out = dir.filePath(u"out-%1"_s.arg(QDir(dir.path()).count()));
        const CommandRun run = CommandRun::of(QStringList{u"--yes"_s, u"--pdf"_s, out} + arguments);
        if (run.exitCode != 0) {
            qWarning("%s", qPrintable(run.err));
            return {};
        }
        const QStringList files = QDir(out).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
        return files.isEmpty() ? QString() : out + u'/' + files.first();
    }

private Q_SLOTS:
    void initTestCase() { m_wideChecksum = checksum(workbook(u"wide.xlsx"_s)); }

    void cleanupTestCase()
    {
        // The workbooks are opened read-only and the page setup changes only what is loaded.
        QCOMPARE(checksum(workbook(u"wide.xlsx"_s)), m_wideChecksum);
    }

    void fittingToTheWidthPutsEveryColumnOnTheFirstPage()
    {
        const QString wide = workbook(u"wide.xlsx"_s);
        const QStringList words = columnWords();

        // As the sheet is set up, its forty columns spill onto pages of their own.
        const QString asIs = printed({wide});
        QVERIFY(!asIs.isEmpty());
        QVERIFY(PrintedJobs::pageSizes(asIs).size() > 1);
        QString first = PrintedJobs::pageText(asIs, 1);
        QVERIFY2(first.contains(words.first()) && !first.contains(words.last()), qPrintable(first));

        const QString job = printed({u"--fit-width"_s, wide});
        QVERIFY(!job.isEmpty());
        QCOMPARE(missing(PrintedJobs::pageText(job, 1), words), QStringList());

        QTemporaryDir dir;
        const QString pdf = exported(dir, {u"--fit-width"_s, wide});
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(missing(PrintedJobs::pageText(pdf, 1), words), QStringList());
        // The other sheet is left as it was: one page wide already.
        const QString all = exported(dir, {u"--fit-width"_s, u"-a"_s, wide});
        const QStringList texts = pageTexts(all);
        QVERIFY2(texts.size() > 2, qPrintable(texts.join(u"\f"_s)));
        QCOMPARE(missing(texts.first(), words), QStringList());
        QVERIFY(texts[1].contains(u"TALL-TEXT"_s));
        QCOMPARE(checksum(wide), m_wideChecksum);
    }

    void fittingToThePagePutsEachSheetOnOnePage()
    {
        const QString wide = workbook(u"wide.xlsx"_s);
        QTemporaryDir dir;
        QVERIFY(PrintedJobs::pageSizes(exported(dir, {u"-a"_s, wide})).size() > 3);
        const QStringList texts = pageTexts(exported(dir, {u"--fit-page"_s, u"-a"_s, wide}));
        QCOMPARE(texts.size(), 2);
        QCOMPARE(missing(texts[0], columnWords()), QStringList());
        QCOMPARE(missing(texts[1], {u"TALL-TEXT"_s, u"line 150"_s}), QStringList());

        const QString job = printed({u"--fit-page"_s, u"-a"_s, wide});
        QCOMPARE(PrintedJobs::pageSizes(job).size(), 2);
    }

    void aPaperIsLaidOutAndAskedOfThePrinter()
    {
        QTemporaryDir dir;
        const QList<QSize> sizes
            = PrintedJobs::pageSizes(exported(dir, {u"--paper"_s, u"letter"_s, u"-a"_s, workbook(u"wide.xlsx"_s)}));
        QVERIFY(!sizes.isEmpty());
        for (const QSize &size : sizes)
            QCOMPARE(size, QSize(612, 792));

        const QString job = printed({u"--paper"_s, u"Letter"_s, workbook(u"three-sheets.xlsx"_s)});
        QVERIFY(!job.isEmpty());
        const QString options = PrintedJobs::options(job);
        // The queue's driver may name it its own way.
        QVERIFY2(options.contains(u"media=na_letter_8.5x11in"_s) || options.contains(u"PageSize=Letter"_s),
                 qPrintable(options));
        QCOMPARE(PrintedJobs::pageSizes(job).value(0), QSize(612, 792));
        QVERIFY(PrintedJobs::text(job).contains(u"BRAVO-TEXT"_s));
    }

    void orientationTurnsThePages()
    {
        const QString wide = workbook(u"wide.xlsx"_s);
        QTemporaryDir dir;
        QList<QSize> sizes = PrintedJobs::pageSizes(exported(dir, {u"--orientation"_s, u"landscape"_s, u"-a"_s, wide}));
        QVERIFY(!sizes.isEmpty());
        for (const QSize &size : std::as_const(sizes))
            QVERIFY2(size.width() > size.height(), qPrintable(u"%1x%2"_s.arg(size.width()).arg(size.height())));

        // Auto: the wide sheet turns, the tall one, which shares its page style, does not.
        const QString automatic = exported(dir, {u"--orientation"_s, u"auto"_s, u"-a"_s, wide});
        sizes = PrintedJobs::pageSizes(automatic);
        QVERIFY(sizes.size() > 2);
        QVERIFY(sizes.first().width() > sizes.first().height());
        QVERIFY(sizes.last().width() < sizes.last().height());
        QVERIFY(PrintedJobs::pageText(automatic, int(sizes.size())).contains(u"line 150"_s));

        // On paper the queue turns a page wider than its paper to fit it, so
        // the words run across the paper's short side instead.
        const QString upright = printed({workbook(u"three-sheets.xlsx"_s)});
        QRectF word = PrintedJobs::wordBox(upright, u"BRAVO-TEXT"_s);
        QVERIFY(word.width() > word.height());
        const QString job = printed({u"--orientation"_s, u"landscape"_s, workbook(u"three-sheets.xlsx"_s)});
        QVERIFY(!job.isEmpty());
        const QSize size = PrintedJobs::pageSizes(job).value(0);
        word = PrintedJobs::wordBox(job, u"BRAVO-TEXT"_s);
        QVERIFY2(size.width() > size.height() || word.height() > word.width(),
                 qPrintable(u"%1x%2"_s.arg(size.width()).arg(size.height())));
    }

    void singlePageSheetsGiveOnePagePerSheet()
    {
        QTemporaryDir dir;
        QStringList texts = pageTexts(exported(dir, {u"--single-page-sheets"_s, u"-a"_s, workbook(u"wide.xlsx"_s)}));
        QCOMPARE(texts.size(), 2);
        QCOMPARE(missing(texts[0], columnWords()), QStringList());
        QVERIFY(texts[1].contains(u"line 150"_s));
        texts = pageTexts(exported(dir, {u"--single-page-sheets"_s, u"-a"_s, workbook(u"three-sheets.xlsx"_s)}));
        QCOMPARE(texts.size(), 3);
        QVERIFY(texts[2].contains(u"CHARLIE-TEXT"_s));
    }

    void aMergedPdfHoldsTheGoodWorkbooksInOrderWithABookmarkEach()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(u"out"_s);
        const QString merged = dir.filePath(u"run.pdf"_s);
        const QStringList books{workbook(u"four-pages.xlsx"_s), workbook(u"damaged.xlsx"_s),
                                workbook(u"three-sheets.xlsx"_s)};
        QList<QByteArray> sums;
        for (const QString &book : books)
            sums << checksum(book);
        CommandRun run
            = CommandRun::of(QStringList{u"--yes"_s, u"--pdf"_s, out, u"--merge-pdf"_s, merged, u"-a"_s} + books);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(u"Merged 2 of 3 workbooks into "_s + merged + u"; the failed ones are left out.\n"_s),
                 qPrintable(run.out));
        const QStringList first = pageTexts(out + u"/four-pages.pdf"_s);
        const QStringList second = pageTexts(out + u"/three-sheets.pdf"_s);
        QCOMPARE(first.size(), 4);
        QCOMPARE(pageTexts(merged), first + second);
        const QList<std::pair<QString, int>> expected{{u"four-pages.xlsx"_s, 1}, {u"three-sheets.xlsx"_s, 5}};
        QCOMPARE(bookmarks(merged), expected);
        for (int i = 0; i < books.size(); ++i)
            QCOMPARE(checksum(books[i]), sums[i]);
        // Only the two PDFs: nothing of the merging is left beside them.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{u"out"_s, u"run.pdf"_s}));

        // A printed run's merged PDF holds what the jobs hold; the file is replaced only when forced.
        const QByteArray before = checksum(merged);
        run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--merge-pdf"_s, merged, books[2]});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(checksum(merged), before);
        const int jobsBefore = int(m_jobs.files(u"Second"_s).size());
        run = CommandRun::of({u"--yes"_s, u"-p"_s, u"Second"_s, u"--merge-pdf"_s, merged, u"--force"_s, books[2]});
        QCOMPARE(run.exitCode, 0);
        const QStringList jobs = m_jobs.waitForTexts(u"Second"_s, jobsBefore + 1).mid(jobsBefore);
        QCOMPARE(jobs.size(), 1);
        QCOMPARE(PrintedJobs::text(merged), jobs[0]);
        QCOMPARE(bookmarks(merged), (QList<std::pair<QString, int>>{{u"three-sheets.xlsx"_s, 1}}));
    }

    void anEndedRunLeavesNoMergedPdf_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("terminated") << int(SIGTERM);
        QTest::newRow("killed") << int(SIGKILL);
    }
    void anEndedRunLeavesNoMergedPdf()
    {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString merged = dir.filePath(u"run.pdf"_s);
        QProcess process;
        process.start(QStringLiteral(CORVANE_PRINT_BINARY),
                      {u"--yes"_s, u"--pdf"_s, dir.filePath(u"out"_s), u"--merge-pdf"_s, merged,
                       workbook(u"three-sheets.xlsx"_s), workbook(u"wide.xlsx"_s)});
        QVERIFY(process.waitForStarted());
        const qint64 pid = process.processId();
        // Once the first workbook is done, so that there is something to merge.
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(dir.filePath(u"out/three-sheets.pdf"_s)); }, 60000));
        ::kill(pid_t(pid), signal);
        QVERIFY(process.waitForFinished(30000));
        QVERIFY(!QFileInfo::exists(merged));
        QVERIFY(QTest::qWaitFor([&] { return OfficeLeftovers::processes(pid).isEmpty(); }, 10000));
        if (signal == SIGTERM) {
            QCOMPARE(process.exitCode(), 130);
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{u"out"_s});
        }
    }
};

QTEST_GUILESS_MAIN(PageSetupTest)
#include "tst_pagesetup.moc"
