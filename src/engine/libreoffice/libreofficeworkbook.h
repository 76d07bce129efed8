// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/printing/engineworkbook.h"

#include <QList>
#include <QSizeF>
#include <QString>
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
    // A print the session prepared for exactly that is only handed over.
    static void print(LibreOfficeSession &session,
                      const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                      const QString &printer,
                      const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &onlySheet);

    // Lays the print of document out now and keeps it, or why it failed, in
    // the session for print() to hand over.
    static void prepare(LibreOfficeSession &session,
                        const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                        const QString &printer, bool allSheets);

private:
    static com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet>
    activeSheetOf(LibreOfficeSession &session,
                  const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document);
    // The rendered file, in the office's folder, its pages' sizes and the workbook's file name.
    struct Rendered
    {
        QString pdf;
        QList<QSizeF> pageSizes;
        QString name;
    };
    static Rendered render(LibreOfficeSession &session,
                           const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
                           const QString &printer,
                           const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &onlySheet);
    static void deliver(LibreOfficeSession &session, const QString &printer, const Rendered &rendered);

    std::shared_ptr<LibreOfficeSession> m_session;
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> m_document;
};
