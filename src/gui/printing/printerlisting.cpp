// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/printerlisting.h"

#include "core/common/apptexts.h"
#include "core/common/settingsstore.h"
#include "core/printing/engineerror.h"
#include "core/printing/errorreport.h"
#include "core/printing/printersystem.h"
#include "core/printing/printingtexts.h"

#include <QComboBox>

namespace {

QString storedPick(SettingsStore &settings, const QString &fallback)
{
    return settings.GetSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(),
                               PrintingTexts::keyPrinter(), fallback);
}

} // namespace

// The procedure's table, line by line. A step that is no test answers yes.
//   line  then  otherwise  on failure  step
const PrinterListing::Step PrinterListing::steps[] = {
    {100, 102, 102, 102, &PrinterListing::readDefaultPrinter},
    {102, 104, 106, 104, &PrinterListing::startThroughPrinters},
    {104, 104, 106, 104, &PrinterListing::appendNextPrinter},
    {106, 108, 112, 108, &PrinterListing::readStoredPick},
    {108, 110, PrinterListing::end, 110, &PrinterListing::testDefaultPrinter},
    {110, PrinterListing::end, PrinterListing::end, PrinterListing::end, &PrinterListing::selectDefaultPrinter},
    {112, PrinterListing::end, PrinterListing::end, PrinterListing::end, &PrinterListing::restoreStoredPick},
};

PrinterListing::PrinterListing(QComboBox &combo, PrinterSystem &printers, SettingsStore &settings, Prompts &prompts)
    : Combo1(combo)
    , m_printers(printers)
    , m_settings(settings)
    , m_prompts(prompts)
{}

void PrinterListing::run()
{
    int line = 100;
    while (line != end) {
        const Step *row = nullptr;
        for (const Step &candidate : steps) {
            if (candidate.line == line)
                row = &candidate;
        }
        if (!row)
            return;
        QString failure;
        try {
            line = (this->*row->run)() ? row->then : row->otherwise;
            continue;
        } catch (const EngineError &error) {
            failure = error.description();
        } catch (const std::exception &error) {
            failure = QString::fromUtf8(error.what());
        }
        if (m_reporting)
            ErrorReport::show(m_prompts, failure, PrintingTexts::listPrintersSource(), line);
        line = row->onFailure;
    }
}

bool PrinterListing::readDefaultPrinter()
{
    d = m_printers.defaultPrinterName();
    return true;
}

bool PrinterListing::startThroughPrinters()
{
    m_names.clear();
    m_next = 0;
    m_names = m_printers.printerNames();
    return !m_names.isEmpty();
}

bool PrinterListing::appendNextPrinter()
{
    // A failed listing leaves nothing to go through: the procedure moves on.
    if (m_next >= m_names.size())
        return false;
    // Moved past first, so that a failure goes on with the next printer.
    const QString name = m_names.at(m_next++);
    Combo1.addItem(name);
    return m_next < m_names.size();
}

bool PrinterListing::readStoredPick()
{
    // Filled, with nothing selected until a stored or default printer is.
    Combo1.setCurrentIndex(-1);
    s.clear();
    s = storedPick(m_settings, QString());
    if (s.isEmpty())
        return true;
    m_reporting = false;
    return false;
}

bool PrinterListing::testDefaultPrinter()
{
    return !d.isEmpty();
}

bool PrinterListing::selectDefaultPrinter()
{
    const int index = Combo1.findText(d, Qt::MatchExactly);
    if (index < 0)
        throw EngineError(QStringLiteral("The default printer \"%1\" is not among the printers.").arg(d));
    Combo1.setCurrentIndex(index);
    return true;
}

bool PrinterListing::restoreStoredPick()
{
    // A stored position that is no number or no longer in the list leaves the
    // drop-down without a selection, and says nothing.
    bool isNumber = false;
    const int index = storedPick(m_settings, QString::number(Combo1.currentIndex())).trimmed().toShort(&isNumber);
    if (isNumber && index >= -1 && index < Combo1.count())
        Combo1.setCurrentIndex(index);
    return true;
}
