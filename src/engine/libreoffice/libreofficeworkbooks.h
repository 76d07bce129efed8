// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineworkbooks.h"

#include <com/sun/star/lang/XComponent.hpp>

#include <memory>
#include <vector>

class LibreOfficeSession;

class LibreOfficeWorkbooks final : public EngineWorkbooks
{
public:
    explicit LibreOfficeWorkbooks(std::shared_ptr<LibreOfficeSession> session);

    void Open(const QString &path) override;
    int count() override;
    std::unique_ptr<EngineWorkbook> item(int index) override;
    void Close() override;
    void prepareOut(const QString &printer, bool allSheets) override;

    // Drops the references to the open workbooks without a call to the office.
    void forget();

private:
    std::shared_ptr<LibreOfficeSession> m_session;
    std::vector<com::sun::star::uno::Reference<com::sun::star::lang::XComponent>> m_documents;
};
