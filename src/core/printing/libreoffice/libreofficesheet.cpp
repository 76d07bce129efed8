// SPDX-License-Identifier: GPL-3.0-or-later
#include "libreofficesheet.h"

#include "libreofficesession.h"
#include "libreofficeworkbook.h"
#include "printing/engineerror.h"
#include "unostrings.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XPrintAreas.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

using namespace com::sun::star;

LibreOfficeSheet::LibreOfficeSheet(std::shared_ptr<LibreOfficeSession> session,
                                   const uno::Reference<lang::XComponent> &document,
                                   const uno::Reference<sheet::XSpreadsheet> &sheet)
    : m_session(std::move(session))
    , m_document(document)
    , m_sheet(sheet)
{}

namespace {

// Whether a sheet has anything to print: cells with values, text or formulas
// (cells that are only formatted do not count), or drawing objects such as
// shapes, pictures and charts. With print ranges, only cells inside them count.
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
    constexpr sal_Int16 content
        = sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME | sheet::CellFlags::STRING | sheet::CellFlags::FORMULA;
    const auto hasContent = [](const uno::Reference<uno::XInterface> &range) {
        const uno::Reference<sheet::XCellRangesQuery> query(range, uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSheetCellRanges> found = query->queryContentCells(content);
        return found.is() && found->getCount() > 0;
    };
    const uno::Reference<sheet::XPrintAreas> printAreas(sheet, uno::UNO_QUERY);
    const uno::Sequence<table::CellRangeAddress> areas
        = printAreas.is() ? printAreas->getPrintAreas() : uno::Sequence<table::CellRangeAddress>();
    if (areas.getLength() == 0)
        return hasContent(sheet);
    for (const table::CellRangeAddress &area : areas) {
        if (hasContent(sheet->getCellRangeByPosition(area.StartColumn, area.StartRow, area.EndColumn, area.EndRow)))
            return true;
    }
    return false;
}

} // namespace

void LibreOfficeSheet::PrintOut(const QString &printer)
{
    // Calc leaves out a selected sheet that has no pages and prints the next
    // one that has: an empty active sheet would print another sheet.
    bool printable = true;
    rtl::OUString sheetName;
    m_session->call(QStringLiteral("reading the active sheet"), [&] {
        sheetName = uno::Reference<container::XNamed>(m_sheet, uno::UNO_QUERY_THROW)->getName();
        printable = hasPrintableContent(m_document, m_sheet);
    });
    if (!printable)
        throw EngineError(
            QStringLiteral("The active sheet \"%1\" is empty; nothing was printed.").arg(toQString(sheetName)));

    m_session->call(QStringLiteral("selecting the sheet to print"), [this] {
        // Calc prints the sheets selected in the view. A workbook saved with
        // grouped sheets opens with all of them selected; making a sheet
        // outside the group active and then this one again leaves only this
        // one selected. Which sheets are grouped cannot be asked, so every
        // other sheet takes a turn.
        const uno::Reference<frame::XModel> model(m_document, uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSpreadsheetView> view(model->getCurrentController(), uno::UNO_QUERY_THROW);
        const uno::Reference<sheet::XSpreadsheetDocument> workbook(m_document, uno::UNO_QUERY_THROW);
        const uno::Reference<container::XIndexAccess> sheets(workbook->getSheets(), uno::UNO_QUERY_THROW);
        const rtl::OUString name = uno::Reference<container::XNamed>(m_sheet, uno::UNO_QUERY_THROW)->getName();
        for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
            const uno::Reference<sheet::XSpreadsheet> other(sheets->getByIndex(i), uno::UNO_QUERY);
            if (other.is() && uno::Reference<container::XNamed>(other, uno::UNO_QUERY_THROW)->getName() != name)
                view->setActiveSheet(other);
        }
        view->setActiveSheet(m_sheet);
    });
    LibreOfficeWorkbook::print(*m_session, m_document, printer, m_sheet);
}
