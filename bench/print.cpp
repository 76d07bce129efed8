// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the same ten small workbooks through the print run and through a
// shell loop of "soffice --pt", side by side on the same private CUPS queue.
#include "../tests/support/fakeprompts.h"
#include "printing/cups/cupsprintersystem.h"
#include "printing/libreoffice/libreofficeengine.h"
#include "printing/printrun.h"
#include "printing/printrunview.h"
#include "printing/steprunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

class ListView final : public PrintRunView
{
public:
    explicit ListView(QStringList entries)
        : m_entries(std::move(entries))
    {}
    int entryCount() override { return int(m_entries.size()); }
    QString entry(int i) override { return m_entries.at(i - 1); }
    QString printerName() override { return QStringLiteral("Bench"); }
    bool printActiveSheet() override { return true; }
    bool printAllSheets() override { return false; }
    void setProgress(double) override {}
    void setBusy(bool) override {}

private:
    QStringList m_entries;
};

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(600000) && process.exitCode() == 0;
}

} // namespace

namespace {
constexpr int rounds = 3;
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString scripts = QStringLiteral(CORVANE_SOURCE_DIR "/scripts");
    QTemporaryDir dir;
    const QString cups = dir.path() + QStringLiteral("/cups");
    if (!run(scripts + QStringLiteral("/cups-test-server"), {QStringLiteral("start"), cups, QStringLiteral("Bench")})
        || !run(QStringLiteral("/usr/bin/python3"),
                {scripts + QStringLiteral("/make-workbooks.py"), QStringLiteral("tests"),
                 dir.path() + QStringLiteral("/wb")})) {
        std::fprintf(stderr, "could not set up the printer and the workbooks\n");
        return 2;
    }
    qputenv("CUPS_SERVER", QFile::encodeName(cups + QStringLiteral("/cups.sock")));
    // The loop's offices leave their temporary files here, not in /tmp.
    QDir().mkpath(dir.path() + QStringLiteral("/tmp"));
    qputenv("TMPDIR", QFile::encodeName(dir.path() + QStringLiteral("/tmp")));

    const QStringList kinds{QStringLiteral("three-sheets.xlsx"), QStringLiteral("two-sheets.ods"),
                            QStringLiteral("legacy.xls"), QStringLiteral("grouped.xlsx")};
    QStringList workbooks;
    for (int i = 0; i < 10; ++i) {
        const QString source = dir.path() + QStringLiteral("/wb/") + kinds[i % kinds.size()];
        const QString copy = dir.path() + QStringLiteral("/book%1.").arg(i) + QFileInfo(source).suffix();
        QFile::copy(source, copy);
        workbooks << copy;
    }

    const QString soffice = LibreOfficeEngine::findProgram();
    const QString profile = QStringLiteral("-env:UserInstallation=file://") + dir.path() + QStringLiteral("/profile");
    CupsPrinterSystem printers;
    LibreOfficeEngine engine(printers);
    FakePrompts prompts;
    DirectStepRunner runner;

    // Both sides make their profile before the clock starts.
    run(soffice,
        {profile, QStringLiteral("--headless"), QStringLiteral("--pt"), QStringLiteral("Bench"), workbooks[0]});
    {
        ListView one({workbooks[0]});
        PrintRun warmUp(engine, prompts, one, runner);
        warmUp.Start();
    }

    // Rounds take turns, so a busy moment of the machine hits both sides alike;
    // each side's best round counts.
    double loopSeconds = 1e9;
    double runSeconds = 1e9;
    int failedSteps = 0;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        for (const QString &workbook : std::as_const(workbooks))
            run(soffice,
                {profile, QStringLiteral("--headless"), QStringLiteral("--pt"), QStringLiteral("Bench"), workbook});
        loopSeconds = std::min(loopSeconds, double(timer.nsecsElapsed()) / 1e9);

        ListView view(workbooks);
        PrintRun printRun(engine, prompts, view, runner);
        timer.restart();
        printRun.Start();
        runSeconds = std::min(runSeconds, double(timer.nsecsElapsed()) / 1e9);
        failedSteps += printRun.summary().failedSteps;
    }

    run(scripts + QStringLiteral("/cups-test-server"), {QStringLiteral("stop"), cups});

    std::printf("workbooks: %lld\n", static_cast<long long>(workbooks.size()));
    std::printf("rounds: %d\n", rounds);
    std::printf("failed_steps: %d\n", failedSteps);
    std::printf("soffice_loop_seconds: %.2f\n", loopSeconds);
    std::printf("print_run_seconds: %.2f\n", runSeconds);
    std::printf("run_to_loop_ratio: %.2f\n", runSeconds / loopSeconds);
    return failedSteps == 0 ? 0 : 1;
}
