#include "printrun.h"

#include "engineapplication.h"
#include "engineerror.h"
#include "enginesheet.h"
#include "engineworkbook.h"
#include "engineworkbooks.h"
#include "errorreport.h"
#include "excel1.h"
#include "printingtexts.h"
#include "printrunview.h"
#include "services/prompts.h"
#include "shell/shelltexts.h"
#include "spreadsheetengine.h"
#include "steprunner.h"

PrintRun::PrintRun(SpreadsheetEngine &engine, Prompts &prompts, PrintRunView &view, StepRunner &runner)
    : m_engine(engine)
    , m_prompts(prompts)
    , m_view(view)
    , m_runner(runner)
{
}

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
        QString failure;
        try {
            line = step(line);
            continue;
        } catch (const EngineError &error) {
            failure = error.description();
        } catch (const std::exception &error) {
            failure = QString::fromUtf8(error.what());
        }
        if (m_view.stopNow()) {
            abandon();
            return;
        }
        ++m_summary.failedSteps;
        if (line >= 116 && line <= 134)
            m_currentFailed = true;
        ErrorReport::show(m_prompts, failure, PrintingTexts::printRunSource(), line);
        line = afterFailure(line);
    }
    wb.reset();
    if (xl)
        m_runner.run([this] { xl.reset(); });
}

void PrintRun::abandon()
{
    m_summary.stopped = true;
    if (m_inWorkbook) {
        ++m_summary.failedWorkbooks;
        m_summary.failedPaths.append(path);
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

int PrintRun::step(int line)
{
    switch (line) {
    case 100:
        m_view.setBusy(true);
        return 102;
    case 102:
        if (Excel1::WarnIfExcelOpen(m_engine, m_prompts)) {
            m_summary.declined = true;
            return 144;
        }
        return 104;
    case 104:
        return m_view.entryCount() >= 1 ? 106 : 142;
    case 106:
        n = m_view.entryCount();
        i = 1;
        return i <= n ? 108 : 140;
    case 108: {
        if (m_view.stopRequested()) {
            m_summary.stopped = true;
            return 144;
        }
        const int m = m_view.entryCount();
        if (m <= 0)
            throw EngineError(QStringLiteral("Division by zero"));
        m_view.setProgress(double(i) / double(m) * 100.0);
        return 110;
    }
    case 110:
    case 114:
        m_view.setBusy(true);
        return line + 2;
    case 112:
        if (i < 1 || i > m_view.entryCount())
            throw EngineError(QStringLiteral("The list has no entry %1.").arg(i));
        path = m_view.entry(i);
        return 114;
    case 116:
        m_currentFailed = false;
        m_inWorkbook = true;
        ++m_summary.workbooks;
        m_view.workbookStarting(i, n, path);
        xl.reset();
        engineCall([this] { xl = Excel1::OpenWorkbook(m_engine, path); });
        return 118;
    case 118:
        if (!xl)
            throw EngineError(PrintingTexts::noInstance());
        engineCall([this] { wb = xl->Workbooks().item(xl->Workbooks().count()); });
        return 120;
    case 120:
        return m_view.printActiveSheet() ? 122 : 124;
    case 122: {
        if (!wb)
            throw EngineError(PrintingTexts::noWorkbook());
        const QString printer = m_view.printerName();
        engineCall([this, &printer] { wb->ActiveSheet()->PrintOut(printer); });
        return 128;
    }
    case 124:
        return m_view.printAllSheets() ? 126 : 128;
    case 126: {
        if (!wb)
            throw EngineError(PrintingTexts::noWorkbook());
        const QString printer = m_view.printerName();
        engineCall([this, &printer] { wb->PrintOut(printer); });
        return 128;
    }
    case 128:
        if (!xl)
            throw EngineError(PrintingTexts::noInstance());
        engineCall([this] { xl->Workbooks().Close(); });
        return 130;
    case 130:
        if (!xl)
            throw EngineError(PrintingTexts::noInstance());
        engineCall([this] { xl->Quit(); });
        return 132;
    case 132:
        wb.reset();
        return 134;
    case 134:
        if (xl)
            engineCall([this] { xl.reset(); });
        m_inWorkbook = false;
        if (m_currentFailed) {
            ++m_summary.failedWorkbooks;
            m_summary.failedPaths.append(path);
        }
        return 136;
    case 136:
        m_view.setBusy(true);
        return 138;
    case 138:
        ++i;
        return i <= n ? 108 : 140;
    case 140:
        m_prompts.messageBox(PrintingTexts::done(), MessageStyle::Ok, ShellTexts::appTitle());
        return 144;
    case 142:
        m_prompts.messageBox(PrintingTexts::noFilesAdded(), MessageStyle::Ok, ShellTexts::appTitle());
        return 144;
    case 144:
        m_view.setProgress(0);
        return 146;
    case 146:
        m_view.setBusy(false);
        return end;
    default:
        return end;
    }
}

int PrintRun::afterFailure(int line)
{
    switch (line) {
    case 122:
    case 126:
        return 128;
    case 124:
        return 126;
    case 138:
        return 140;
    case 140:
    case 142:
        return 144;
    case 146:
        return end;
    default:
        return line + 2;
    }
}
