// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <functional>

class LibreOfficeSession;

// A workbook written as a PDF of what printing it would print.
namespace PdfExport {

// Writes document (onlySheet, or every sheet when it is null) as
// FOLDER/NAME.pdf, NAME being the workbook's file name without its extension;
// a name already taken becomes "NAME (2).pdf", "NAME (3).pdf" and so on. The
// PDF is written under a temporary name and gets its own only when complete,
// so no half PDF ever carries it. Returns the path written.
QString write(LibreOfficeSession &session,
              const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
              const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &onlySheet);

// The first free "NAME.pdf", "NAME (2).pdf", ... in folder; taken: whether a name is in use.
QString freeName(const QString &folder, const QString &name, const std::function<bool(const QString &)> &taken);

} // namespace PdfExport
