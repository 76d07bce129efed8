// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
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

    static QString text(const QString &pdf)
    {
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        pdftotext.waitForFinished(30000);
        return QString::fromUtf8(pdftotext.readAllStandardOutput());
    }

private:
    QString m_out;
};
