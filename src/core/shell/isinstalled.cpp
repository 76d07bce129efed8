// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/shell/isinstalled.h"

#include "core/common/apptexts.h"
#include "core/printing/spreadsheetengine.h"
#include "core/services/prompts.h"
#include "core/shell/shelltexts.h"

namespace IsInstalled {

void CheckExcelInstalled(const SpreadsheetEngine &engine, Prompts &prompts)
{
    bool installed = false;
    try {
        installed = engine.canCreateInstance();
    } catch (...) {
        // A check that cannot even ask counts as "not installed".
        installed = false;
    }
    if (!installed)
        prompts.messageBox(ShellTexts::engineMissing(engine.displayName()), MessageStyle::Ok, AppTexts::appTitle());
}

} // namespace IsInstalled
