// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbookrendering.h"

#include "libreofficesession.h"
#include "printing/engineerror.h"
#include "printing/printsettings.h"
#include "unostrings.h"

#include <QFileInfo>
#include <QUrl>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/table/BorderLine2.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/ShadowFormat.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <com/sun/star/view/XRenderable.hpp>

#include <vector>

using namespace com::sun::star;

namespace {

beans::PropertyValue property(const char *name, const uno::Any &value)
{
    beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

uno::Sequence<beans::PropertyValue> sequence(const std::vector<beans::PropertyValue> &values)
{
    return {values.data(), sal_Int32(values.size())};
}

bool drawsLine(const uno::Reference<beans::XPropertySet> &format, const char *name)
{
    table::BorderLine2 line;
    return (format->getPropertyValue(rtl::OUString::createFromAscii(name)) >>= line)
        && (line.OuterLineWidth > 0 || line.InnerLineWidth > 0);
}

// Whether cells formatted alike put ink on the page: a border, a background
// or a shadow, as LibreOffice counts them when it finds what a sheet prints.
bool formatShows(const uno::Reference<beans::XPropertySet> &format)
{
    if (!format.is())
        return false;
    sal_Int32 background = -1;
    bool transparent = true;
    format->getPropertyValue("CellBackColor") >>= background;
    format->getPropertyValue("IsCellBackgroundTransparent") >>= transparent;
    if (!transparent && background != -1)
        return true;
    for (const char *side : {"TopBorder", "BottomBorder", "LeftBorder", "RightBorder", "DiagonalTLBR", "DiagonalBLTR"}) {
        if (drawsLine(format, side))
            return true;
    }
    table::ShadowFormat shadow;
    return (format->getPropertyValue("ShadowFormat") >>= shadow) && shadow.Location != table::ShadowLocation_NONE;
}

// Cell content, or a format that shows, anywhere in range.
bool rangeHasInk(const uno::Reference<uno::XInterface> &range)
{
    constexpr sal_Int16 content
        = sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING | sheet::CellFlags::FORMULA;
    const uno::Reference<sheet::XCellRangesQuery> query(range, uno::UNO_QUERY_THROW);
    const uno::Reference<sheet::XSheetCellRanges> found = query->queryContentCells(content);
    if (found.is() && found->getCount() > 0)
        return true;
    // One entry per distinct format, however many cells carry it.
    const uno::Reference<sheet::XUniqueCellFormatRangesSupplier> formats(range, uno::UNO_QUERY);
    if (!formats.is())
        return false;
    const uno::Reference<container::XIndexAccess> unique = formats->getUniqueCellFormatRanges();
    for (sal_Int32 i = 0; unique.is() && i < unique->getCount(); ++i) {
        if (formatShows(uno::Reference<beans::XPropertySet>(unique->getByIndex(i), uno::UNO_QUERY)))
            return true;
    }
    return false;
}

// Whether a sheet has anything to print: cells with values, text or
// formulas, cells with borders, backgrounds or shadows, or drawing objects
// such as shapes, pictures and charts. With print ranges, only cells inside
// them count. LibreOffice itself would print a blank page for a sheet with
// none of these.
bool hasPrintableContent(const uno::Reference<lang::XComponent> &document,
                         const uno::Reference<sheet::XSpreadsheet> &sheet)
{
    // A sheet's drawing objects are on the document's draw page of the same index.
    const uno::Reference<drawing::XDrawPagesSupplier> drawings(document, uno::UNO_QUERY);
    const uno::Reference<sheet::XCellRangeAddressable> address(sheet, uno::UNO_QUERY);
    if (drawings.is() && address.is()) {
        const uno::Reference<drawing::XDrawPages> pages = drawings->getDrawPages();
        const sal_Int32 index = address->getRangeAddress().Sheet;
        uno::Reference<drawing::XDrawPage> page;
        if (pages.is() && index < pages->getCount())
            pages->getByIndex(index) >>= page;
        if (page.is() && page->getCount() > 0)
            return true;
    }
    const uno::Reference<sheet::XPrintAreas> printAreas(sheet, uno::UNO_QUERY);
    const uno::Sequence<table::CellRangeAddress> areas
        = printAreas.is() ? printAreas->getPrintAreas() : uno::Sequence<table::CellRangeAddress>();
    if (areas.getLength() == 0)
        return rangeHasInk(sheet);
    for (const table::CellRangeAddress &area : areas) {
        if (rangeHasInk(sheet->getCellRangeByPosition(area.StartColumn, area.StartRow, area.EndColumn, area.EndRow)))
            return true;
    }
    return false;
}

QString sheetName(const uno::Reference<sheet::XSpreadsheet> &sheet)
{
    return toQString(uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName());
}

// Hidden sheets do not print.
bool anySheetPrintable(const uno::Reference<lang::XComponent> &document)
{
    const uno::Reference<sheet::XSpreadsheetDocument> workbook(document, uno::UNO_QUERY_THROW);
    const uno::Reference<container::XIndexAccess> sheets(workbook->getSheets(), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
        const uno::Reference<sheet::XSpreadsheet> sheet(sheets->getByIndex(i), uno::UNO_QUERY_THROW);
        bool visible = true;
        uno::Reference<beans::XPropertySet>(sheet, uno::UNO_QUERY_THROW)->getPropertyValue("IsVisible") >>= visible;
        if (visible && hasPrintableContent(document, sheet))
            return true;
    }
    return false;
}

} // namespace

namespace WorkbookRendering {

QString fileName(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document)
{
    QString name;
    session.call(QStringLiteral("reading the workbook's name"), [&] {
        const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY_THROW);
        name = QFileInfo(QUrl(toQString(model->getURL())).toLocalFile()).fileName();
    });
    return name;
}

void render(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
            const uno::Reference<sheet::XSpreadsheet> &onlySheet, const QString &layoutPrinter,
            const QString &target)
{
    const QString pages = session.printSettings().pages;
    sal_Int32 pageCount = 0;
    bool printable = true;
    QString name;
    session.call(QStringLiteral("laying out the pages"), [&] {
        // The printer's paper and metrics decide where pages break.
        if (!layoutPrinter.isEmpty())
            uno::Reference<view::XPrintable>(document, uno::UNO_QUERY_THROW)
                ->setPrinter(sequence({property("Name", uno::Any(toOUString(layoutPrinter)))}));
        if (onlySheet.is()) {
            name = sheetName(onlySheet);
            printable = hasPrintableContent(document, onlySheet);
        } else {
            printable = anySheetPrintable(document);
        }
        if (printable && !pages.isEmpty()) {
            const uno::Any selection = onlySheet.is() ? uno::Any(onlySheet) : uno::Any(document);
            pageCount = uno::Reference<view::XRenderable>(document, uno::UNO_QUERY_THROW)
                            ->getRendererCount(selection, uno::Sequence<beans::PropertyValue>());
        }
    });
    if (!printable) {
        if (onlySheet.is())
            throw EngineError(QStringLiteral("The active sheet \"%1\" is empty; nothing was printed.").arg(name));
        throw EngineError(QStringLiteral("The workbook has nothing to print; nothing was printed."));
    }
    if (!pages.isEmpty() && PrintSettings::firstPage(pages) > pageCount)
        throw EngineError(
            QStringLiteral("The pages asked for (%1) are not there: what the workbook prints has %2 %3; "
                           "nothing was printed.")
                .arg(QString(pages).replace(QLatin1Char(';'), QLatin1Char(',')))
                .arg(pageCount)
                .arg(pageCount == 1 ? QStringLiteral("page") : QStringLiteral("pages")));

    session.call(QStringLiteral("rendering the pages"), [&] {
        std::vector<beans::PropertyValue> filterData;
        if (onlySheet.is())
            filterData.push_back(property("Selection", uno::Any(onlySheet)));
        // The export counts pages as printing does, with "-" and ";".
        if (!pages.isEmpty())
            filterData.push_back(property("PageRange", uno::Any(toOUString(pages))));
        const uno::Sequence<beans::PropertyValue> arguments
            = sequence({property("FilterName", uno::Any(rtl::OUString("calc_pdf_Export"))),
                        property("FilterData", uno::Any(sequence(filterData))), property("Overwrite", uno::Any(true))});
        const uno::Reference<frame::XStorable> storable(document, uno::UNO_QUERY_THROW);
        storable->storeToURL(toOUString(QString::fromUtf8(QUrl::fromLocalFile(target).toEncoded())), arguments);
    });
    if (QFileInfo(target).size() == 0)
        throw EngineError(QStringLiteral("LibreOffice rendered no pages for the workbook."));
}

} // namespace WorkbookRendering
