#include "libreofficesheet.h"

#include "libreofficesession.h"
#include "libreofficeworkbook.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>

using namespace com::sun::star;

LibreOfficeSheet::LibreOfficeSheet(std::shared_ptr<LibreOfficeSession> session,
                                   uno::Reference<lang::XComponent> document,
                                   uno::Reference<sheet::XSpreadsheet> sheet)
    : m_session(std::move(session))
    , m_document(std::move(document))
    , m_sheet(std::move(sheet))
{
}

void LibreOfficeSheet::PrintOut(const QString &printer)
{
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
    LibreOfficeWorkbook::print(*m_session, m_document, printer, false);
}
