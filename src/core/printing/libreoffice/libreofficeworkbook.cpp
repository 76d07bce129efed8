// SPDX-License-Identifier: GPL-3.0-or-later
#include "libreofficeworkbook.h"

#include "libreofficesession.h"
#include "libreofficesheet.h"
#include "pdfexport.h"
#include "printing/engineerror.h"
#include "printing/printersystem.h"
#include "printjobwatcher.h"
#include "unostrings.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/view/DuplexMode.hpp>
#include <com/sun/star/view/XPrintJobBroadcaster.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <rtl/ref.hxx>

#include <vector>

using namespace com::sun::star;

LibreOfficeWorkbook::LibreOfficeWorkbook(std::shared_ptr<LibreOfficeSession> session,
                                         const uno::Reference<lang::XComponent> &document)
    : m_session(std::move(session))
    , m_document(document)
{}

std::unique_ptr<EngineSheet> LibreOfficeWorkbook::ActiveSheet()
{
    uno::Reference<sheet::XSpreadsheet> active;
    m_session->call(QStringLiteral("reading the active sheet"), [&] {
        const uno::Reference<frame::XModel> model(m_document, uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSpreadsheetView> view(model->getCurrentController(), uno::UNO_QUERY_THROW);
        active = view->getActiveSheet();
    });
    if (!active.is())
        throw EngineError(QStringLiteral("The workbook has no active sheet."));
    return std::make_unique<LibreOfficeSheet>(m_session, m_document, active);
}

void LibreOfficeWorkbook::PrintOut(const QString &printer)
{
    print(*m_session, m_document, printer, {});
}

namespace {

uno::Sequence<beans::PropertyValue> printOptions(const PrintSettings &settings)
{
    std::vector<beans::PropertyValue> options;
    const auto add = [&options](const char *name, const uno::Any &value) {
        beans::PropertyValue option;
        option.Name = rtl::OUString::createFromAscii(name);
        option.Value = value;
        options.push_back(option);
    };
    // Returns when the job has been handed to the printer system.
    add("Wait", uno::Any(true));
    if (settings.copies > 1) {
        add("CopyCount", uno::Any(sal_Int16(settings.copies)));
        add("Collate", uno::Any(settings.collate));
    }
    if (!settings.pages.isEmpty())
        add("Pages", uno::Any(toOUString(settings.pages)));
    switch (settings.duplex) {
    case PrintSettings::Duplex::PrinterDefault:
        break;
    case PrintSettings::Duplex::Off:
        add("DuplexMode", uno::Any(view::DuplexMode::OFF));
        break;
    case PrintSettings::Duplex::LongEdge:
        add("DuplexMode", uno::Any(view::DuplexMode::LONGEDGE));
        break;
    case PrintSettings::Duplex::ShortEdge:
        add("DuplexMode", uno::Any(view::DuplexMode::SHORTEDGE));
        break;
    }
    return {options.data(), sal_Int32(options.size())};
}

} // namespace

void LibreOfficeWorkbook::print(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
                                const QString &printer, const uno::Reference<sheet::XSpreadsheet> &onlySheet)
{
    if (!session.printSettings().pdfFolder.isEmpty()) {
        PdfExport::write(session, document, onlySheet);
        return;
    }
    const bool allSheets = !onlySheet.is();
    // LibreOffice prints on its default printer when it does not know the
    // name it is given, so an unknown name must never reach it.
    if (printer.isEmpty())
        throw EngineError(QStringLiteral("No printer is chosen."));
    if (!session.printers().printerNames().contains(printer))
        throw EngineError(QStringLiteral("There is no printer named \"%1\".").arg(printer));

    session.call(QStringLiteral("printing on \"%1\"").arg(printer), [&] {
        session.setPrintAllSheets(allSheets);
        const uno::Reference<view::XPrintable> printable(document, uno::UNO_QUERY_THROW);
        uno::Sequence<beans::PropertyValue> device(1);
        device[0].Name = "Name";
        device[0].Value <<= toOUString(printer);
        printable->setPrinter(device);

        const rtl::Reference<PrintJobWatcher> watcher = new PrintJobWatcher;
        const uno::Reference<view::XPrintJobBroadcaster> broadcaster(document, uno::UNO_QUERY);
        if (broadcaster.is())
            broadcaster->addPrintJobListener(watcher.get());
        printable->print(printOptions(session.printSettings()));
        if (broadcaster.is())
            broadcaster->removePrintJobListener(watcher.get());
        if (watcher->failed())
            throw EngineError(QStringLiteral("The print job for \"%1\" failed.").arg(printer));
    });
}
