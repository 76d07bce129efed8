// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineworkbook.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <memory>

class LibreOfficeSession;

class LibreOfficeWorkbook final : public EngineWorkbook
{
public:
    LibreOfficeWorkbook(std::shared_ptr<LibreOfficeSession> session,
                        const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document);

    std::unique_ptr<EngineSheet> ActiveSheet() override;
    void PrintOut(const QString &printer) override;

    // Prints document on printer, or writes it as a PDF when the session's
    // print settings ask for one: onlySheet, or every sheet when it is null.
    static void print(LibreOfficeSession &session,
                      const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                      const QString &printer,
                      const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &onlySheet);

private:
    std::shared_ptr<LibreOfficeSession> m_session;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> m_document;
};
