// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/printrunview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <vector>

// What the printing benchmarks share: a private CUPS queue "Bench", small
// workbooks of four kinds (ten unless told), and a view that prints them all
// on that queue.
class BenchSetup final
{
public:
    static constexpr const char *queue = "Bench";

    // False when the printer or the workbooks could not be made.
    bool start(int workbooks = 10)
    {
        const QString scripts = QStringLiteral(CORVANE_SOURCE_DIR "/scripts");
        m_cups = m_dir.path() + QStringLiteral("/cups");
        if (!run(scripts + QStringLiteral("/cups-test-server"), {QStringLiteral("start"), m_cups, QLatin1String(queue)})
            || !run(QStringLiteral("/usr/bin/python3"),
                    {scripts + QStringLiteral("/make-workbooks.py"), QStringLiteral("tests"),
                     m_dir.path() + QStringLiteral("/wb")}))
            return false;
        qputenv("CUPS_SERVER", QFile::encodeName(m_cups + QStringLiteral("/cups.sock")));
        // A desktop session's runtime folder is in memory, and the offices
        // work there; a shell without one (a root login, a CI job) gets one
        // in memory too, so that the figures are a desktop user's.
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            m_runtime = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/corvane-bench-XXXXXX"));
            if (!m_runtime->isValid())
                return false;
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
        }
        // The loop's offices leave their temporary files here, not in /tmp.
        QDir().mkpath(m_dir.path() + QStringLiteral("/tmp"));
        qputenv("TMPDIR", QFile::encodeName(m_dir.path() + QStringLiteral("/tmp")));

        const QStringList kinds{QStringLiteral("three-sheets.xlsx"), QStringLiteral("two-sheets.ods"),
                                QStringLiteral("legacy.xls"), QStringLiteral("grouped.xlsx")};
        for (int i = 0; i < workbooks; ++i) {
            const QString source = m_dir.path() + QStringLiteral("/wb/") + kinds[i % kinds.size()];
            const QString copy = m_dir.path() + QStringLiteral("/book%1.").arg(i) + QFileInfo(source).suffix();
            if (!QFile::copy(source, copy))
                return false;
            m_workbooks << copy;
        }
        return true;
    }

    ~BenchSetup()
    {
        if (!m_cups.isEmpty())
            run(QStringLiteral(CORVANE_SOURCE_DIR "/scripts/cups-test-server"), {QStringLiteral("stop"), m_cups});
    }

    const QStringList &workbooks() const { return m_workbooks; }
    QString folder() const { return m_dir.path(); }

    static bool run(const QString &program, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        return process.waitForFinished(600000) && process.exitCode() == 0;
    }

    // Records in a profile's settings that this LibreOffice has started with it,
    // the way a start with a window leaves it.
    static bool recordVersion(const QString &registryFile)
    {
        QFile file(registryFile);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QByteArray text = file.readAll();
        file.close();
        QProcess version;
        version.start(QStringLiteral("/usr/lib/libreoffice/program/soffice.bin"), {QStringLiteral("--version")});
        version.waitForFinished(60000);
        // "LibreOffice 7.4.7.2 40(Build:2)": the setup version is major.minor.
        const QList<QByteArray> words = version.readAllStandardOutput().split(' ');
        const QList<QByteArray> parts = words.size() > 1 ? words.at(1).split('.') : QList<QByteArray>();
        const qsizetype end = text.lastIndexOf("</oor:items>");
        if (parts.size() < 2 || end < 0)
            return false;
        text.insert(end,
                    "<item oor:path=\"/org.openoffice.Setup/Product\"><prop oor:name=\"ooSetupLastVersion\" "
                    "oor:op=\"fuse\"><value>"
                        + parts.at(0) + '.' + parts.at(1) + "</value></prop></item>\n");
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
    }

    static double median(std::vector<double> values)
    {
        if (values.empty())
            return 0;
        std::sort(values.begin(), values.end());
        const std::size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_cups;
    QStringList m_workbooks;
};

// Prints the given entries' active sheets on the bench queue and shows nothing.
class BenchListView final : public PrintRunView
{
public:
    explicit BenchListView(QStringList entries)
        : m_entries(std::move(entries))
    {}
    int entryCount() override { return int(m_entries.size()); }
    QString entry(int i) override { return m_entries.at(i - 1); }
    QString printerName() override { return QLatin1String(BenchSetup::queue); }
    bool printActiveSheet() override { return true; }
    bool printAllSheets() override { return false; }
    void setProgress(double) override {}
    void setBusy(bool) override {}

private:
    QStringList m_entries;
};
