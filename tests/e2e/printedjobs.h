// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// The jobs the private CUPS server has printed, read back as text.
class PrintedJobs final
{
public:
    explicit PrintedJobs(const QString &cupsFolder)
        : m_out(cupsFolder + QStringLiteral("/out"))
    {}

    // Job files of a queue, oldest first.
    QStringList files(const QString &queue) const
    {
        QDir dir(m_out + QLatin1Char('/') + queue);
        QStringList names = dir.entryList({QStringLiteral("*.pdf")}, QDir::Files);
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return a.section(QLatin1Char('.'), 0, 0).toInt() < b.section(QLatin1Char('.'), 0, 0).toInt();
        });
        for (QString &name : names)
            name = dir.filePath(name);
        return names;
    }

    // Waits until the queue has printed `count` jobs in all; their texts, oldest first.
    QStringList waitForTexts(const QString &queue, int count, int timeoutMs = 60000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (files(queue).size() < count && timer.elapsed() < timeoutMs)
            QTest::qWait(100);
        QStringList texts;
        for (const QString &file : files(queue))
            texts.append(text(file));
        return texts;
    }

    // The copies and options CUPS handed to the printer with a job.
    static QString options(const QString &pdf)
    {
        QFile file(QString(pdf).replace(QStringLiteral(".pdf"), QStringLiteral(".options")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // The title CUPS handed to the printer with a job.
    static QString title(const QString &pdf)
    {
        QFile file(QString(pdf).replace(QStringLiteral(".pdf"), QStringLiteral(".title")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
    }

    // Whether the first page puts any ink on paper, text or not.
    static bool inked(const QString &pdf)
    {
        QTemporaryDir dir;
        QProcess pdftoppm;
        pdftoppm.start(QStringLiteral("pdftoppm"),
                       {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-gray"),
                        QStringLiteral("-singlefile"), pdf, dir.filePath(QStringLiteral("page"))});
        pdftoppm.waitForFinished(30000);
        QFile page(dir.filePath(QStringLiteral("page.pgm")));
        if (!page.open(QIODevice::ReadOnly))
            return false;
        // pdftoppm's binary graymap: "P5", "WIDTH HEIGHT" and "255" on lines
        // of their own, then a byte a pixel.
        const QByteArray data = page.readAll();
        const QList<QByteArray> header = data.left(64).split('\n');
        if (header.size() < 4 || header[0] != "P5")
            return false;
        const qsizetype pixels
            = header[1].split(' ').value(0).toLongLong() * header[1].split(' ').value(1).toLongLong();
        const QByteArray raster = data.right(pixels);
        int dark = 0;
        for (const char value : raster)
            dark += static_cast<unsigned char>(value) < 200 ? 1 : 0;
        return dark > 20;
    }

    // The text of one page, counted from 1.
    static QString pageText(const QString &pdf, int page)
    {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                         QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }

    // The size of every page in points, rounded, first page first.
    static QList<QSize> pageSizes(const QString &pdf)
    {
        QProcess pdfinfo;
        pdfinfo.start(QStringLiteral("pdfinfo"),
                      {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("9999"), pdf});
        pdfinfo.waitForFinished(30000);
        // "Page    1 size: 612 x 792 pts (letter)"
        static const QRegularExpression line(QStringLiteral("^Page +\\d+ size: +([0-9.]+) x ([0-9.]+) pts"),
                                             QRegularExpression::MultilineOption);
        QList<QSize> sizes;
        for (const QRegularExpressionMatch &match :
             line.globalMatch(QString::fromUtf8(pdfinfo.readAllStandardOutput())))
            sizes.append(QSize(qRound(match.captured(1).toDouble()), qRound(match.captured(2).toDouble())));
        return sizes;
    }

    // Where a word first stands on the first page, in points.
    static QRectF wordBox(const QString &pdf, const QString &word)
    {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"),
                        {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                         QStringLiteral("1"), pdf, QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        // <word xMin="57.7" yMin="77.2" xMax="121.6" yMax="90.3">WORD</word>
        const QRegularExpression line(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                                                     "yMax=\"([0-9.]+)\">")
                                      + QRegularExpression::escape(word) + QStringLiteral("</word>"));
        const QRegularExpressionMatch match = line.match(QString::fromUtf8(pdftotext.readAllStandardOutput()));
        if (!match.hasMatch())
            return {};
        return QRectF(QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()),
                      QPointF(match.captured(3).toDouble(), match.captured(4).toDouble()));
    }

    // A job that arrived empty reads as a sentence saying so, which no
    // expected text matches.
    static QString text(const QString &pdf)
    {
        if (QFileInfo(pdf).size() == 0) {
            qWarning("the job %s arrived empty: the print server's filters could not read it", qPrintable(pdf));
            return QStringLiteral("[the job %1 arrived empty]").arg(pdf);
        }
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }

private:
    QString m_out;
};
