// SPDX-License-Identifier: GPL-3.0-or-later
// The merged PDF of a run, from PDFs made here with qpdf: no office needed.
#include "cli/mergedpdf.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A PDF of `pages` empty pages, each `width` points wide, so that the pages
// of each source are told apart in the merged file.
void writePdf(const QString &path, int pages, int width)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper helper(pdf);
    for (int i = 0; i < pages; ++i) {
        QPDFObjectHandle page = pdf.makeIndirectObject(QPDFObjectHandle::parse(
            "<< /Type /Page /MediaBox [0 0 " + std::to_string(width) + " 800] /Resources << >> >>"));
        page.replaceKey("/Contents", pdf.newStream(std::string()));
        helper.addPage(QPDFPageObjectHelper(page), false);
    }
    // The writer keeps the name's pointer until it is done.
    const QByteArray name = QFile::encodeName(path);
    QPDFWriter writer(pdf, name.constData());
    writer.write();
}

QList<int> pageWidths(const QString &path)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    QList<int> widths;
    // Page helpers, not the document's object handles: qpdf's older versions
    // read a handle's keys through non-const calls only.
    std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(pdf).getAllPages();
    for (QPDFPageObjectHelper &page : pages)
        widths << page.getMediaBox().getArrayItem(2).getIntValueAsInt();
    return widths;
}

QStringList bookmarkTitles(const QString &path)
{
    QPDF pdf;
    pdf.processFile(QFile::encodeName(path).constData());
    QPDFOutlineDocumentHelper outlines(pdf);
    QStringList titles;
    for (QPDFOutlineObjectHelper &item : outlines.getTopLevelOutlines())
        titles << QString::fromStdString(item.getTitle());
    return titles;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class MergedPdfTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workbooksFollowInTheirOrderEachWithABookmark()
    {
        QTemporaryDir dir;
        writePdf(dir.filePath(u"a.pdf"_s), 2, 300);
        writePdf(dir.filePath(u"b.pdf"_s), 1, 400);
        const QString target = dir.filePath(u"run.pdf"_s);
        QString error;
        {
            MergedPdf merged(target, false);
            QVERIFY(merged.prepare(error));
            merged.add(dir.filePath(u"b.pdf"_s), u"Budget \u00e9t\u00e9.xlsx"_s);
            merged.add(dir.filePath(u"a.pdf"_s), u"a.xlsx"_s);
            QVERIFY2(merged.write([] { return false; }, error), qPrintable(error));
            QCOMPARE(merged.workbooks(), 2);
        }
        QCOMPARE(pageWidths(target), (QList<int>{400, 300, 300}));
        QCOMPARE(bookmarkTitles(target), (QStringList{u"Budget \u00e9t\u00e9.xlsx"_s, u"a.xlsx"_s}));
        QCOMPARE(entries(dir.path()), (QStringList{u"a.pdf"_s, u"b.pdf"_s, u"run.pdf"_s}));
    }

    void anExistingFileIsReplacedOnlyWhenForced()
    {
        QTemporaryDir dir;
        writePdf(dir.filePath(u"a.pdf"_s), 1, 300);
        const QString target = dir.filePath(u"run.pdf"_s);
        writePdf(target, 1, 500);
        QString error;
        {
            MergedPdf refused(target, false);
            QVERIFY(!refused.prepare(error));
            QVERIFY2(error.contains(u"--force"_s), qPrintable(error));
        }
        QCOMPARE(pageWidths(target), QList<int>{500});
        {
            MergedPdf forced(target, true);
            QVERIFY(forced.prepare(error));
            forced.add(dir.filePath(u"a.pdf"_s), u"a.xlsx"_s);
            QVERIFY2(forced.write([] { return false; }, error), qPrintable(error));
        }
        QCOMPARE(pageWidths(target), QList<int>{300});
        QCOMPARE(entries(dir.path()), (QStringList{u"a.pdf"_s, u"run.pdf"_s}));
    }

    void aStopOrNothingToMergeLeavesNoFile()
    {
        QTemporaryDir dir;
        writePdf(dir.filePath(u"a.pdf"_s), 3, 300);
        const QString target = dir.filePath(u"run.pdf"_s);
        QString error;
        {
            MergedPdf merged(target, false);
            QVERIFY(merged.prepare(error));
            merged.add(dir.filePath(u"a.pdf"_s), u"a.xlsx"_s);
            QVERIFY(!merged.write([] { return true; }, error));
            QVERIFY2(error.contains(u"stopped"_s), qPrintable(error));
        }
        {
            MergedPdf empty(target, false);
            QVERIFY(empty.prepare(error));
            QVERIFY(!empty.write([] { return false; }, error));
        }
        QCOMPARE(entries(dir.path()), QStringList{u"a.pdf"_s});
    }

    void theFoldersKilledRunsLeftAreRemovedAndNothingElse()
    {
        QTemporaryDir dir;
        writePdf(dir.filePath(u"a.pdf"_s), 1, 300);
        const auto leftover = [&dir](const QString &name, const QStringList &files) {
            QString folder = dir.filePath(name);
            QDir().mkpath(folder);
            for (const QString &file : files)
                QFile::copy(dir.filePath(u"a.pdf"_s), folder + u'/' + file);
            // Settled: a killed run's folder is older than a minute.
            timespec old[2]{};
            old[0].tv_sec = old[1].tv_sec = ::time(nullptr) - 3600;
            ::utimensat(AT_FDCWD, QFile::encodeName(folder).constData(), old, 0);
            return folder;
        };
        leftover(u".corvane-merge-killed"_s, {u"1.pdf"_s, u"2.pdf"_s, u"merged.pdf"_s});
        leftover(u".corvane-merge-withmore"_s, {u"1.pdf"_s, u"notes.txt"_s});
        const QString running = leftover(u".corvane-merge-running"_s, {u"1.pdf"_s});
        // Another run's folder, in use: it holds the lock.
        const int held = ::open(QFile::encodeName(running).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(held >= 0);
        QCOMPARE(::flock(held, LOCK_EX), 0);
        // Made this very moment, not locked yet.
        QDir().mkpath(dir.filePath(u".corvane-merge-new"_s));

        QString error;
        {
            MergedPdf merged(dir.filePath(u"run.pdf"_s), false);
            QVERIFY(merged.prepare(error));
            merged.add(dir.filePath(u"a.pdf"_s), u"a.xlsx"_s);
            QVERIFY2(merged.write([] { return false; }, error), qPrintable(error));
        }
        ::close(held);
        QCOMPARE(entries(dir.path()),
                 (QStringList{u".corvane-merge-new"_s, u".corvane-merge-running"_s, u".corvane-merge-withmore"_s,
                              u"a.pdf"_s, u"run.pdf"_s}));
        QCOMPARE(entries(running), QStringList{u"1.pdf"_s});
        QCOMPARE(entries(dir.filePath(u".corvane-merge-withmore"_s)), QStringList{u"notes.txt"_s});
    }

    // A run of many workbooks must not need a descriptor for each.
    void moreWorkbooksThanOpenFilesAllowed()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(u"a.pdf"_s);
        writePdf(source, 1, 300);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_NOFILE, &saved), 0);
        rlimit low = saved;
        low.rlim_cur = 64;
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &low), 0);
        QString error;
        bool written = false;
        {
            MergedPdf merged(dir.filePath(u"run.pdf"_s), false);
            QVERIFY(merged.prepare(error));
            for (int i = 0; i < 150; ++i)
                merged.add(source, u"book%1.xlsx"_s.arg(i));
            written = merged.write([] { return false; }, error);
        }
        ::setrlimit(RLIMIT_NOFILE, &saved);
        QVERIFY2(written, qPrintable(error));
        QCOMPARE(pageWidths(dir.filePath(u"run.pdf"_s)).size(), 150);
    }
};

QTEST_GUILESS_MAIN(MergedPdfTest)
#include "tst_mergedpdf.moc"
