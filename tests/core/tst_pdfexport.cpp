// SPDX-License-Identifier: GPL-3.0-or-later
// A rendering placed in the user's folder as a PDF: never over another file,
// never through a link, and never a half file under a name of its own.
#include "engine/libreoffice/pdfexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

bool write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList everything(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class PdfExportTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_rendered;
    QString m_out;

private Q_SLOTS:
    void init()
    {
        m_rendered = m_dir.filePath(u"rendered.pdf"_s);
        QVERIFY(write(m_rendered, QByteArray(3 << 20, 'x') + "%%EOF"));
        m_out = m_dir.filePath(u"out-%1"_s.arg(QDir(m_dir.path()).count()));
        QVERIFY(QDir().mkpath(m_out));
    }

    void theNameIsTheFirstFreeOneAndNothingIsWrittenOver()
    {
        QVERIFY(write(m_out + u"/Budget.pdf"_s, "the user's own"));
        // A dangling link takes its name too, and is never written through.
        QVERIFY(QFile::link(m_dir.filePath(u"elsewhere.pdf"_s), m_out + u"/Budget (2).pdf"_s));
        const QString pdf = PdfExport::publish(m_rendered, m_out, u"Budget"_s, {});
        QCOMPARE(pdf, m_out + u"/Budget (3).pdf"_s);
        QCOMPARE(read(pdf), read(m_rendered));
        QCOMPARE(read(m_out + u"/Budget.pdf"_s), QByteArray("the user's own"));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(u"elsewhere.pdf"_s)));
    }

    void thePdfHasItsNameOnlyWhenWholeAndNoPartIsLeft()
    {
        // The moment the PDF is told is the last of the export: a program
        // killed then (or at any time before) must leave nothing but whole PDFs.
        QStringList seen;
        const QString pdf
            = PdfExport::publish(m_rendered, m_out, u"Report"_s, [&](const QString &) { seen = everything(m_out); });
        QCOMPARE(seen, QStringList{u"Report.pdf"_s});
        QCOMPARE(everything(m_out), QStringList{u"Report.pdf"_s});
        QCOMPARE(QFileInfo(pdf).size(), QFileInfo(m_rendered).size());
    }

    void thePdfGetsTheUsersPermissions()
    {
        const mode_t before = ::umask(027);
        const QString pdf = PdfExport::publish(m_rendered, m_out, u"Private"_s, {});
        ::umask(before);
        struct stat status = {};
        QCOMPARE(::stat(QFile::encodeName(pdf).constData(), &status), 0);
        QCOMPARE(status.st_mode & 0777, mode_t(0640));
    }
};

QTEST_GUILESS_MAIN(PdfExportTest)
#include "tst_pdfexport.moc"
