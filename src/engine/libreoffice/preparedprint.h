// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

// A print laid out ahead of its turn in an office: what it is for, and the
// rendering or why there is none. The print call that matches it hands the
// rendering over; the failures are reported at the calls that would have met
// them.
struct PreparedPrint
{
    com::sun::star::uno::Reference<com::sun::star::lang::XComponent> document;
    bool allSheets = false;
    QString printer;
    // The active sheet, when only it prints; sheetFailure: why it could not be read.
    com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> sheet;
    QString sheetFailure;
    // The rendered PDF in the office's folder, its pages' sizes and the
    // workbook's file name; failure: why the print cannot be made.
    QString rendered;
    QList<QSizeF> pageSizes;
    QString name;
    QString failure;
};
