// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>

struct PrintSettings;

// A command line's page setup (fit, paper, orientation) laid on the page
// styles of the sheets to print, in the loaded document only: the workbook
// is opened read-only and never saved, so its file keeps its own setup.
namespace PageSetup {

// Changes the page styles of onlySheet, or of every sheet when it is null,
// as settings ask. Sheets that share a style but need different
// orientations get a copy of it each. Calls UNO: run it inside a session's
// bounded call.
void apply(const com::sun::star::uno::Reference<com::sun::star::lang::XComponent> &document,
           const com::sun::star::uno::Reference<com::sun::star::sheet::XSpreadsheet> &onlySheet,
           const PrintSettings &settings);

} // namespace PageSetup
