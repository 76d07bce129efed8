// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/printing/excel1.h"

#include "core/common/apptexts.h"
#include "core/printing/engineapplication.h"
#include "core/printing/engineworkbooks.h"
#include "core/printing/printingtexts.h"
#include "core/printing/spreadsheetengine.h"
#include "core/services/prompts.h"

namespace Excel1 {

bool ExcelIsRunning(SpreadsheetEngine &engine)
{
    try {
        return engine.isUserInstanceRunning();
    } catch (...) {
        return false;
    }
}

bool WarnIfExcelOpen(SpreadsheetEngine &engine, Prompts &prompts)
{
    if (!ExcelIsRunning(engine))
        return false;
    const MessageAnswer answer = prompts.messageBox(PrintingTexts::engineOpenWarning(engine.displayName()),
                                                    MessageStyle::YesNo, AppTexts::appTitle());
    return answer != MessageAnswer::Yes;
}

std::unique_ptr<EngineApplication> OpenWorkbook(SpreadsheetEngine &engine, const QString &path)
{
    std::unique_ptr<EngineApplication> application = engine.createInstance();
    // Should Open fail, the instance goes with the exception: its destructor ends it.
    application->Workbooks().Open(path);
    return application;
}

} // namespace Excel1
