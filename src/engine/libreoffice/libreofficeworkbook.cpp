// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficeworkbook.h"

#include "core/printing/engineerror.h"
#include "core/printing/printersystem.h"
#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/libreofficesheet.h"
#include "engine/libreoffice/pdfexport.h"
#include "engine/libreoffice/workbookrendering.h"

#include <QFile>
#include <QFileInfo>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>

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

void LibreOfficeWorkbook::print(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
                                const QString &printer, const uno::Reference<sheet::XSpreadsheet> &onlySheet)
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
    WorkbookRendering::render(session, document, onlySheet, toPdf ? settings.layoutPrinter : printer, rendered);
    const QString name = WorkbookRendering::fileName(session, document);
    if (toPdf) {
        const QString base = QFileInfo(name).completeBaseName();
        PdfExport::publish(rendered, settings.pdfFolder, base.isEmpty() ? QStringLiteral("workbook") : base,
                           settings.exported);
    } else {
        const PrintedJob job = session.printers().printPdf(
            printer, rendered, name.isEmpty() ? QStringLiteral("Workbook") : name, settings);
        if (settings.printed)
            settings.printed(job.id, job.waiting);
    }
    if (settings.rendered)
        settings.rendered(rendered, name);
    QFile::remove(rendered);
}
