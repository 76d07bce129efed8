// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/libreofficesheet.h"

#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/libreofficeworkbook.h"

using namespace com::sun::star;

LibreOfficeSheet::LibreOfficeSheet(std::shared_ptr<LibreOfficeSession> session,
                                   const uno::Reference<lang::XComponent> &document,
                                   const uno::Reference<sheet::XSpreadsheet> &sheet)
    : m_session(std::move(session))
    , m_document(document)
    , m_sheet(sheet)
{}

void LibreOfficeSheet::PrintOut(const QString &printer)
{
    LibreOfficeWorkbook::print(*m_session, m_document, printer, m_sheet);
}
