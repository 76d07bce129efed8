// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/printerselection.h"

#include "core/common/apptexts.h"
#include "core/common/settingsstore.h"
#include "core/printing/printingtexts.h"
#include "gui/printing/printerlisting.h"

#include <QComboBox>

namespace PrinterSelection {

void listPrinters(QComboBox &Combo1, PrinterSystem &printers, SettingsStore &settings, Prompts &prompts)
{
    PrinterListing(Combo1, printers, settings, prompts).run();
}

void Combo1_Click(const QComboBox &Combo1, SettingsStore &settings)
{
    settings.SaveSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(), PrintingTexts::keyPrinter(),
                         QString::number(Combo1.currentIndex()));
}

} // namespace PrinterSelection
