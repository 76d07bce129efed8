// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class EngineApplication;
class EngineWorkbook;
class PrintRunView;
class Prompts;
class SpreadsheetEngine;
class StepRunner;

// Prints every entry of the list, in order, each workbook in an engine
// instance of its own. The run is a fixed sequence of numbered steps; a step
// that fails is reported with its number and the run goes on where the table
// says, so one bad workbook never stops the others.
class PrintRun final
{
public:
    PrintRun(SpreadsheetEngine &engine, Prompts &prompts, PrintRunView &view, StepRunner &runner);
    ~PrintRun();

    void Start();

    struct Summary
    {
        int workbooks = 0;
        int failedWorkbooks = 0;
        int failedSteps = 0;
        bool declined = false;
        bool stopped = false;
        QStringList failedPaths;
    };
    const Summary &summary() const;

private:
    static constexpr int end = -1;

    // A row of the run's step table: the line; where the run goes on when the
    // step succeeds (`then`) and, for a test, when its answer is no
    // (`otherwise`); where it goes on when the step fails; whether a failure
    // counts against the current workbook; and the step itself, which returns
    // its answer (a step that is no test always answers yes).
    struct Step
    {
        int line;
        int then;
        int otherwise;
        int onFailure;
        bool belongsToWorkbook;
        bool (PrintRun::*run)();
    };
    static const Step steps[];
    static const Step *find(int line);

    // The steps, in the order of their lines.
    bool setHourglass();
    bool warnIfEngineOpen();
    bool testListHasEntries();
    bool loopHead();
    bool setProgress();
    bool setHourglassAgain();
    bool readPath();
    bool openWorkbook();
    bool takeLastWorkbook();
    bool testActiveSheetOption();
    bool printOnChosenPrinter(const std::function<void(const QString &printer)> &print);
    bool printActiveSheet();
    bool testAllSheetsOption();
    bool printWorkbook();
    bool closeWorkbooks();
    bool quitInstance();
    bool releaseWorkbook();
    bool releaseInstance();
    bool nextEntry();
    bool showDone();
    bool showNoFilesAdded();
    bool resetProgress();
    bool restorePointer();
    void engineCall(const std::function<void()> &work);
    // Ends a run the user stopped at once: the instance goes, nothing more is shown.
    void abandon();

    SpreadsheetEngine &m_engine;
    Prompts &m_prompts;
    PrintRunView &m_view;
    StepRunner &m_runner;

    int i = 0;
    int n = 0;
    QString path;
    std::unique_ptr<EngineApplication> xl;
    std::unique_ptr<EngineWorkbook> wb;

    Summary m_summary;
    bool m_currentFailed = false;
    // The current workbook's print call returned: its job is with the printer.
    bool m_currentPrinted = false;
    bool m_inWorkbook = false;
};
