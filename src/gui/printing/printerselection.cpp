// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/printerselection.h"

#include "core/common/apptexts.h"
#include "core/common/settingsstore.h"
#include "core/printing/engineerror.h"
#include "core/printing/errorreport.h"
#include "core/printing/printersystem.h"
#include "core/printing/printingtexts.h"

#include <QComboBox>

namespace PrinterSelection {

namespace {

QString stored(SettingsStore &settings, const QString &fallback)
{
    return settings.GetSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(),
                               PrintingTexts::keyPrinter(), fallback);
}

} // namespace

void listPrinters(QComboBox &Combo1, PrinterSystem &printers, SettingsStore &settings, Prompts &prompts)
{
    const auto report = [&prompts](const QString &description, int line) {
        ErrorReport::show(prompts, description, PrintingTexts::listPrintersSource(), line);
    };
    const auto attempt = [&report](int line, const std::function<void()> &work) {
        try {
            work();
            return true;
        } catch (const EngineError &failure) {
            report(failure.description(), line);
        } catch (const std::exception &failure) {
            report(QString::fromUtf8(failure.what()), line);
        }
        return false;
    };

    QString d;
    attempt(100, [&] { d = printers.defaultPrinterName(); });

    QStringList names;
    attempt(102, [&] { names = printers.printerNames(); });
    for (const QString &name : std::as_const(names))
        attempt(104, [&] { Combo1.addItem(name); });
    // Filled, with nothing selected until a stored or default printer is.
    Combo1.setCurrentIndex(-1);

    QString s;
    if (!attempt(106, [&] { s = stored(settings, QString()); }))
        s.clear();
    if (s.isEmpty()) {
        if (!d.isEmpty()) {
            attempt(110, [&] {
                const int index = Combo1.findText(d, Qt::MatchExactly);
                if (index < 0)
                    throw EngineError(QStringLiteral("The default printer \"%1\" is not among the printers.").arg(d));
                Combo1.setCurrentIndex(index);
            });
        }
        return;
    }

    // A stored position that is no number or no longer in the list leaves the
    // drop-down without a selection, and says nothing.
    bool isNumber = false;
    const int index = stored(settings, QString::number(Combo1.currentIndex())).trimmed().toShort(&isNumber);
    if (isNumber && index >= -1 && index < Combo1.count())
        Combo1.setCurrentIndex(index);
}

void Combo1_Click(const QComboBox &Combo1, SettingsStore &settings)
{
    settings.SaveSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(), PrintingTexts::keyPrinter(),
                         QString::number(Combo1.currentIndex()));
}

} // namespace PrinterSelection
