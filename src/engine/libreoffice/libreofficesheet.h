// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/enginesheet.h"

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <memory>

class LibreOfficeSession;

class LibreOfficeSheet final : public EngineSheet
{
public:
    LibreOfficeSheet(std::shared_ptr<LibreOfficeSession> session,
                     const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                     const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &sheet);

    void PrintOut(const QString &printer) override;

private:
    std::shared_ptr<LibreOfficeSession> m_session;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> m_document;
    com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> m_sheet;
};
