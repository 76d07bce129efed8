// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficeworkbook.h"

#include "core/printing/engineerror.h"
#include "core/printing/printersystem.h"
#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/libreofficesheet.h"
#include "engine/libreoffice/pdfexport.h"
#include "engine/libreoffice/preparedprint.h"
#include "engine/libreoffice/workbookrendering.h"

#include <QFile>
#include <QFileInfo>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>

#include <optional>

using namespace com::sun::star;

LibreOfficeWorkbook::LibreOfficeWorkbook(std::shared_ptr<LibreOfficeSession> session,
                                         const uno::Reference<lang::XComponent> &document)
    : m_session(std::move(session))
    , m_document(document)
{}

uno::Reference<sheet::XSpreadsheet> LibreOfficeWorkbook::activeSheetOf(LibreOfficeSession &session,
                                                                       const uno::Reference<lang::XComponent> &document)
{
    uno::Reference<sheet::XSpreadsheet> active;
    session.call(QStringLiteral("reading the active sheet"), [&] {
        const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSpreadsheetView> view(model->getCurrentController(), uno::UNO_QUERY_THROW);
        active = view->getActiveSheet();
    });
    if (!active.is())
        throw EngineError(QStringLiteral("The workbook has no active sheet."));
    return active;
}

std::unique_ptr<EngineSheet> LibreOfficeWorkbook::ActiveSheet()
{
    // Read once when the print was prepared: the sheet the workbook opened on.
    const std::optional<PreparedPrint> &prepared = m_session->preparedPrint();
    if (prepared && prepared->document == m_document && !prepared->allSheets) {
        if (!prepared->sheetFailure.isEmpty())
            throw EngineError(prepared->sheetFailure);
        return std::make_unique<LibreOfficeSheet>(m_session, m_document, prepared->sheet);
    }
    return std::make_unique<LibreOfficeSheet>(m_session, m_document, activeSheetOf(*m_session, m_document));
}

void LibreOfficeWorkbook::PrintOut(const QString &printer)
{
    print(*m_session, m_document, printer, {});
}

void LibreOfficeWorkbook::print(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
                                const QString &printer, const uno::Reference<sheet::XSpreadsheet> &onlySheet)
{
    std::optional<PreparedPrint> &prepared = session.preparedPrint();
    if (prepared && prepared->document == document && prepared->allSheets == !onlySheet.is()
        && prepared->printer == printer && (!onlySheet.is() || prepared->sheet == onlySheet)) {
        const PreparedPrint taken = *prepared;
        prepared.reset();
        if (!taken.failure.isEmpty())
            throw EngineError(taken.failure);
        deliver(session, printer, {taken.rendered, taken.pageSizes, taken.name});
        return;
    }
    deliver(session, printer, render(session, document, printer, onlySheet));
}

void LibreOfficeWorkbook::prepare(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
                                  const QString &printer, bool allSheets)
{
    PreparedPrint prepared;
    prepared.document = document;
    prepared.allSheets = allSheets;
    prepared.printer = printer;
    try {
        if (!allSheets)
            prepared.sheet = activeSheetOf(session, document);
    } catch (const EngineError &error) {
        prepared.sheetFailure = error.description();
        session.preparedPrint() = prepared;
        return;
    }
    try {
        const Rendered rendered = render(session, document, printer, prepared.sheet);
        prepared.rendered = rendered.pdf;
        prepared.pageSizes = rendered.pageSizes;
        prepared.name = rendered.name;
    } catch (const EngineError &error) {
        prepared.failure = error.description();
    }
    session.preparedPrint() = prepared;
}

LibreOfficeWorkbook::Rendered LibreOfficeWorkbook::render(LibreOfficeSession &session,
                                                          const uno::Reference<lang::XComponent> &document,
                                                          const QString &printer,
                                                          const uno::Reference<sheet::XSpreadsheet> &onlySheet)
{
    const PrintSettings &settings = session.printSettings();
    const bool toPdf = !settings.pdfFolder.isEmpty();
    if (!toPdf) {
        // LibreOffice lays pages out for its default printer when it does
        // not know the name it is given, so an unknown name must never reach it.
        if (printer.isEmpty())
            throw EngineError(QStringLiteral("No printer is chosen."));
        if (!session.printers().printerNames().contains(printer))
            throw EngineError(QStringLiteral("There is no printer named \"%1\".").arg(printer));
    }
    // Rendered inside the office's own folder, which goes with the office:
    // nothing half-made ever lands beside the user's files.
    const QString rendered = session.process().folderPath() + QStringLiteral("/rendered.pdf");
    const QList<QSizeF> pageSizes
        = WorkbookRendering::render(session, document, onlySheet, toPdf ? settings.layoutPrinter : printer, rendered);
    return {rendered, pageSizes, WorkbookRendering::fileName(session, document)};
}

void LibreOfficeWorkbook::deliver(LibreOfficeSession &session, const QString &printer, const Rendered &rendered)
{
    const PrintSettings &settings = session.printSettings();
    if (!settings.pdfFolder.isEmpty()) {
        const QString base = QFileInfo(rendered.name).completeBaseName();
        PdfExport::publish(rendered.pdf, settings.pdfFolder, base.isEmpty() ? QStringLiteral("workbook") : base,
                           settings.exported);
    } else {
        // The printer system tells settings.printed of each job as it is taken.
        session.printers().printPdf(printer, rendered.pdf,
                                    rendered.name.isEmpty() ? QStringLiteral("Workbook") : rendered.name, settings,
                                    rendered.pageSizes);
    }
    if (settings.rendered)
        settings.rendered(rendered.pdf, rendered.name);
    QFile::remove(rendered.pdf);
}
