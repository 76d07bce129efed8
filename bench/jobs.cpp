// SPDX-License-Identifier: GPL-3.0-or-later
// corvane-print with several LibreOffices at once against one at a time:
// twenty small workbooks exported as PDFs with --jobs 1 to 4, and printed on
// a private CUPS queue with --jobs 1 and 2. Rounds take turns, so a busy
// moment of the machine hits every figure alike.
//   jobs [ROUNDS]   (default 5; each time's best round counts, and each
//                   ratio of two office counts is the median of the rounds'
//                   own ratios, which a drift in the machine's speed moves less)
#include "bench/benchsetup.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <map>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    BenchSetup setup;
    if (!setup.start(20)) {
        std::fprintf(stderr, "could not set up the printer and the workbooks\n");
        return 2;
    }
    int failures = 0;
    // Seconds of one whole corvane-print run.
    const auto timed = [&](const QStringList &options) {
        QElapsedTimer timer;
        timer.start();
        if (!BenchSetup::run(QStringLiteral(CORVANE_PRINT_BINARY),
                             QStringList{QStringLiteral("--yes")} + options + setup.workbooks()))
            ++failures;
        return double(timer.nsecsElapsed()) / 1e9;
    };
    int folders = 0;
    const auto toPdf = [&](int jobs) {
        const QString folder = setup.folder() + QStringLiteral("/pdf%1").arg(++folders);
        return timed({QStringLiteral("--jobs"), QString::number(jobs), QStringLiteral("--pdf"), folder});
    };
    const auto printed = [&](int jobs) {
        return timed(
            {QStringLiteral("--jobs"), QString::number(jobs), QStringLiteral("-p"), QLatin1String(BenchSetup::queue)});
    };
    // The profile template is made, and the files are in the page cache, before the clock runs.
    toPdf(1);

    std::map<int, double> pdfSeconds;
    std::map<int, double> printSeconds;
    std::map<int, std::vector<double>> pdfRatios; // jobs -> each round's ratio to --jobs 1
    std::vector<double> printRatios;
    for (int round = 0; round < rounds; ++round) {
        std::map<int, double> thisRound;
        for (int jobs = 1; jobs <= 4; ++jobs) {
            thisRound[jobs] = toPdf(jobs);
            pdfSeconds[jobs] = pdfSeconds.count(jobs) ? std::min(pdfSeconds[jobs], thisRound[jobs]) : thisRound[jobs];
        }
        for (int jobs = 2; jobs <= 4; ++jobs)
            pdfRatios[jobs].push_back(thisRound[jobs] / thisRound[1]);
        std::map<int, double> printedThisRound;
        for (int jobs = 1; jobs <= 2; ++jobs) {
            const double seconds = printedThisRound[jobs] = printed(jobs);
            printSeconds[jobs] = printSeconds.count(jobs) ? std::min(printSeconds[jobs], seconds) : seconds;
        }
        printRatios.push_back(printedThisRound[2] / printedThisRound[1]);
    }

    const double count = double(setup.workbooks().size());
    std::printf("workbooks: %.0f\n", count);
    std::printf("rounds: %d\n", rounds);
    std::printf("failed_runs: %d\n", failures);
    for (const auto &[jobs, seconds] : pdfSeconds) {
        std::printf("pdf_jobs_%d_seconds: %.2f\n", jobs, seconds);
        std::printf("pdf_jobs_%d_per_workbook_ms: %.0f\n", jobs, seconds / count * 1000);
    }
    for (const auto &[jobs, seconds] : printSeconds)
        std::printf("print_jobs_%d_seconds: %.2f\n", jobs, seconds);
    std::printf("print_jobs_2_to_jobs_1_ratio: %.2f\n", BenchSetup::median(printRatios));
    std::printf("pdf_jobs_3_to_jobs_1_ratio: %.2f\n", BenchSetup::median(pdfRatios[3]));
    std::printf("pdf_jobs_4_to_jobs_1_ratio: %.2f\n", BenchSetup::median(pdfRatios[4]));
    std::printf("pdf_jobs_2_to_jobs_1_best_rounds_ratio: %.2f\n", pdfSeconds[2] / pdfSeconds[1]);
    const std::vector<double> &twoToOne = pdfRatios[2];
    std::printf("pdf_jobs_2_to_jobs_1_ratio_spread: %.2f-%.2f\n", *std::min_element(twoToOne.begin(), twoToOne.end()),
                *std::max_element(twoToOne.begin(), twoToOne.end()));
    // The target's figure: twenty PDFs, two LibreOffices at once against one,
    // the median of the rounds' ratios.
    std::printf("pdf_jobs_2_to_jobs_1_ratio: %.2f\n", BenchSetup::median(twoToOne));
    return failures == 0 ? 0 : 1;
}
