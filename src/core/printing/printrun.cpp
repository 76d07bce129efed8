// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/printrun.h"

#include "core/common/apptexts.h"
#include "core/common/logcategories.h"
#include "core/printing/engineapplication.h"
#include "core/printing/engineerror.h"
#include "core/printing/enginesheet.h"
#include "core/printing/engineworkbook.h"
#include "core/printing/engineworkbooks.h"
#include "core/printing/errorreport.h"
#include "core/printing/excel1.h"
#include "core/printing/printingtexts.h"
#include "core/printing/printrunview.h"
#include "core/printing/spreadsheetengine.h"
#include "core/printing/steprunner.h"
#include "core/services/prompts.h"

PrintRun::PrintRun(SpreadsheetEngine &engine, Prompts &prompts, PrintRunView &view, StepRunner &runner)
    : m_engine(engine)
    , m_prompts(prompts)
    , m_view(view)
    , m_runner(runner)
{}

PrintRun::~PrintRun()
{
    // Whatever happened, no instance outlives the run.
    wb.reset();
    if (xl)
        m_runner.run([this] { xl.reset(); });
}

const PrintRun::Summary &PrintRun::summary() const
{
    return m_summary;
}

void PrintRun::Start()
{
    m_summary = {};
    m_inWorkbook = false;
    int line = 100;
    while (line != end) {
        if (m_view.stopNow()) {
            abandon();
            return;
        }
        const Step *row = find(line);
        if (!row)
            break;
        qCDebug(lcRun) << "line" << line;
        QString failure;
        EngineError::Kind kind = EngineError::Kind::Failed;
        try {
            line = (this->*row->run)() ? row->then : row->otherwise;
            continue;
        } catch (const EngineError &error) {
            failure = error.description();
            kind = error.kind();
        } catch (const std::exception &error) {
            failure = QString::fromUtf8(error.what());
        } catch (...) {
            // A library's own exception types are no standard exceptions;
            // whatever fails, the run reports it and goes on.
            failure = QStringLiteral("The step failed for a reason that was not given.");
        }
        if (m_view.stopNow()) {
            // No report any more, but what cannot be known must reach the record of the run.
            if (kind == EngineError::Kind::MayHavePrinted)
                m_view.stepFailed(line, failure, kind);
            abandon();
            return;
        }
        ++m_summary.failedSteps;
        if (row->belongsToWorkbook)
            m_currentFailed = true;
        m_view.stepFailed(line, failure, kind);
        ErrorReport::show(m_prompts, failure, PrintingTexts::printRunSource(), line);
        line = row->onFailure;
    }
    wb.reset();
    if (xl)
        m_runner.run([this] { xl.reset(); });
}

void PrintRun::abandon()
{
    m_summary.stopped = true;
    if (m_inWorkbook) {
        // A workbook whose print was handed over prints whatever now happens
        // to its instance: counting it as failed would have it printed twice
        // by whoever reruns the failed ones.
        const bool failed = m_currentFailed || !m_currentPrinted;
        if (failed) {
            ++m_summary.failedWorkbooks;
            m_summary.failedPaths.append(path);
        }
        m_view.workbookFinished(i, failed);
    }
    wb.reset();
    if (xl)
        m_runner.run([this] { xl.reset(); });
    m_view.setProgress(0);
    m_view.setBusy(false);
}

void PrintRun::engineCall(const std::function<void()> &work)
{
    m_runner.run(work);
}

// The run's step table, line by line. A row without a test has `then` in
// both columns; a stop at 108 and a declined run at 102 go to 144.
//   line  then  otherwise  on failure  workbook's  step
constexpr PrintRun::Step PrintRun::steps[] = {
    {100, 102, 102, 102, false, &PrintRun::setHourglass},
    {102, 104, 144, 104, false, &PrintRun::warnIfEngineOpen},
    {104, 106, 142, 106, false, &PrintRun::testListHasEntries},
    {106, 108, 140, 108, false, &PrintRun::loopHead},
    {108, 110, 144, 110, false, &PrintRun::setProgress},
    {110, 112, 112, 112, false, &PrintRun::setHourglassAgain},
    {112, 114, 114, 114, false, &PrintRun::readPath},
    {114, 116, 116, 116, false, &PrintRun::setHourglassAgain},
    {116, 118, 118, 118, true, &PrintRun::openWorkbook},
    {118, 120, 120, 120, true, &PrintRun::takeLastWorkbook},
    {120, 122, 124, 122, true, &PrintRun::testActiveSheetOption},
    {122, 128, 128, 128, true, &PrintRun::printActiveSheet},
    {124, 126, 128, 126, true, &PrintRun::testAllSheetsOption},
    {126, 128, 128, 128, true, &PrintRun::printWorkbook},
    {128, 130, 130, 130, true, &PrintRun::closeWorkbooks},
    {130, 132, 132, 132, true, &PrintRun::quitInstance},
    {132, 134, 134, 134, true, &PrintRun::releaseWorkbook},
    {134, 136, 136, 136, true, &PrintRun::releaseInstance},
    {136, 138, 138, 138, false, &PrintRun::setHourglassAgain},
    {138, 108, 140, 140, false, &PrintRun::nextEntry},
    {140, 144, 144, 144, false, &PrintRun::showDone},
    {142, 144, 144, 144, false, &PrintRun::showNoFilesAdded},
    {144, 146, 146, 146, false, &PrintRun::resetProgress},
    {146, PrintRun::end, PrintRun::end, PrintRun::end, false, &PrintRun::restorePointer},
};

const PrintRun::Step *PrintRun::find(int line)
{
    for (const Step &row : steps) {
        if (row.line == line)
            return &row;
    }
    return nullptr;
}

bool PrintRun::setHourglass()
{
    m_view.setBusy(true);
    return true;
}

bool PrintRun::warnIfEngineOpen()
{
    if (Excel1::WarnIfExcelOpen(m_engine, m_prompts)) {
        m_summary.declined = true;
        return false;
    }
    return true;
}

bool PrintRun::testListHasEntries()
{
    return m_view.entryCount() >= 1;
}

bool PrintRun::loopHead()
{
    n = m_view.entryCount();
    i = 1;
    return i <= n;
}

bool PrintRun::setProgress()
{
    if (m_view.stopRequested()) {
        m_summary.stopped = true;
        return false;
    }
    const int m = m_view.entryCount();
    if (m <= 0)
        throw EngineError(QStringLiteral("Division by zero"));
    m_view.setProgress(double(i) / double(m) * 100.0);
    return true;
}

bool PrintRun::setHourglassAgain()
{
    m_view.setBusy(true);
    return true;
}

bool PrintRun::readPath()
{
    // A failure here must not leave the previous entry's path for line 116.
    path.clear();
    if (i < 1 || i > m_view.entryCount())
        throw EngineError(QStringLiteral("The list has no entry %1.").arg(i));
    path = m_view.entry(i);
    return true;
}

bool PrintRun::openWorkbook()
{
    m_currentFailed = false;
    m_currentPrinted = false;
    m_inWorkbook = true;
    ++m_summary.workbooks;
    m_view.workbookStarting(i, n, path);
    xl.reset();
    if (path.isEmpty())
        throw EngineError(QStringLiteral("Entry %1 could not be read, so there is no workbook to open.").arg(i));
    engineCall([this] { xl = Excel1::OpenWorkbook(m_engine, path); });
    return true;
}

bool PrintRun::takeLastWorkbook()
{
    if (!xl)
        throw EngineError(PrintingTexts::noInstance());
    engineCall([this] { wb = xl->Workbooks().item(xl->Workbooks().count()); });
    return true;
}

bool PrintRun::testActiveSheetOption()
{
    return m_view.printActiveSheet();
}

bool PrintRun::printOnChosenPrinter(const std::function<void(const QString &printer)> &print)
{
    if (!wb)
        throw EngineError(PrintingTexts::noWorkbook());
    // Read afresh for every workbook.
    const QString printer = m_view.printerName();
    engineCall([&print, &printer] { print(printer); });
    m_currentPrinted = true;
    return true;
}

bool PrintRun::printActiveSheet()
{
    return printOnChosenPrinter([this](const QString &printer) { wb->ActiveSheet()->PrintOut(printer); });
}

bool PrintRun::testAllSheetsOption()
{
    return m_view.printAllSheets();
}

bool PrintRun::printWorkbook()
{
    return printOnChosenPrinter([this](const QString &printer) { wb->PrintOut(printer); });
}

bool PrintRun::closeWorkbooks()
{
    if (!xl)
        throw EngineError(PrintingTexts::noInstance());
    engineCall([this] { xl->Workbooks().Close(); });
    return true;
}

bool PrintRun::quitInstance()
{
    if (!xl)
        throw EngineError(PrintingTexts::noInstance());
    engineCall([this] { xl->Quit(); });
    return true;
}

bool PrintRun::releaseWorkbook()
{
    wb.reset();
    return true;
}

bool PrintRun::releaseInstance()
{
    if (xl)
        engineCall([this] { xl.reset(); });
    m_inWorkbook = false;
    // A failure to close or quit after the print was handed over leaves it
    // printed: its report stands, but the workbook is not among the failed.
    const bool failed = m_currentFailed && !m_currentPrinted;
    if (failed) {
        ++m_summary.failedWorkbooks;
        m_summary.failedPaths.append(path);
    }
    m_view.workbookFinished(i, failed);
    return true;
}

bool PrintRun::nextEntry()
{
    ++i;
    return i <= n;
}

bool PrintRun::showDone()
{
    m_prompts.messageBox(PrintingTexts::done(), MessageStyle::Ok, AppTexts::appTitle());
    return true;
}

bool PrintRun::showNoFilesAdded()
{
    m_prompts.messageBox(PrintingTexts::noFilesAdded(), MessageStyle::Ok, AppTexts::appTitle());
    return true;
}

bool PrintRun::resetProgress()
{
    m_view.setProgress(0);
    return true;
}

bool PrintRun::restorePointer()
{
    m_view.setBusy(false);
    return true;
}
