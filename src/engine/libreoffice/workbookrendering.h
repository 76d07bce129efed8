// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

class LibreOfficeSession;

// What a workbook prints, rendered once by LibreOffice as a PDF. The same
// file goes to the printer or becomes the exported PDF, so paper and PDF
// hold the same sheets and the same pages by construction.
namespace WorkbookRendering {

// Renders onlySheet, or every sheet when it is null, with the page metrics
// of layoutPrinter (none: LibreOffice's own) and the session's page range,
// into the file target, and gives each page's size in points. Throws
// EngineError when there is nothing to print (before anything is rendered,
// or once the rendering shows that its pages are all blank) or the page
// range selects no page.
QList<QSizeF> render(LibreOfficeSession &session,
                     const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                     const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &onlySheet,
                     const QString &layoutPrinter, const QString &target);

// The workbook's file name ("Budget 2014.xls"); empty for a workbook with none.
QString fileName(LibreOfficeSession &session,
                 const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document);

} // namespace WorkbookRendering
