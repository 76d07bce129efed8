// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/workbookrendering.h"

#include "core/common/logcategories.h"
#include "core/printing/engineerror.h"
#include "core/printing/printsettings.h"
#include "engine/libreoffice/libreofficesession.h"
#include "engine/libreoffice/pagesetup.h"
#include "engine/libreoffice/renderedpages.h"
#include "engine/libreoffice/unoproperties.h"
#include "engine/libreoffice/unostrings.h"

#include <QFileInfo>
#include <QUrl>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/view/XPrintable.hpp>
#include <com/sun/star/view/XRenderable.hpp>

#include <vector>

using namespace com::sun::star;

namespace {

// The sheet the first page of selection comes from, as LibreOffice lays it
// out; -1 when there is no such page. A selected sheet with nothing to put
// on paper gets the pages of another sheet, or a blank page, from
// LibreOffice: only its own answer tells what it would print.
sal_Int32 firstPageSheet(const uno::Reference<lang::XComponent> &document, const uno::Any &selection)
{
    const uno::Reference<view::XRenderable> renderable(document, uno::UNO_QUERY_THROW);
    const uno::Sequence<beans::PropertyValue> none;
    if (renderable->getRendererCount(selection, none) < 1)
        return -1;
    for (const beans::PropertyValue &value : renderable->getRenderer(0, selection, none)) {
        if (value.Name == "SourceRange" && value.Value.has<table::CellRangeAddress>())
            return value.Value.get<table::CellRangeAddress>().Sheet;
    }
    return -1;
}

EngineError nothingToPrint(bool onlySheet, const QString &sheetName)
{
    if (onlySheet)
        return EngineError(QStringLiteral("The active sheet \"%1\" is empty; nothing was printed.").arg(sheetName));
    return EngineError(QStringLiteral("The workbook has nothing to print; nothing was printed."));
}

} // namespace

namespace WorkbookRendering {

QString fileName(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document)
{
    QString name;
    session.call(QStringLiteral("reading the workbook's name"), [&] {
        const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY_THROW);
        name = QFileInfo(QUrl(toQString(model->getURL())).toLocalFile()).fileName();
    });
    return name;
}

QList<QSizeF> render(LibreOfficeSession &session, const uno::Reference<lang::XComponent> &document,
                     const uno::Reference<sheet::XSpreadsheet> &onlySheet, const QString &layoutPrinter,
                     const QString &target)
{
    const PrintSettings &settings = session.printSettings();
    const QString pages = settings.pages;
    sal_Int32 pageCount = 0;
    bool printable = true;
    QString name;
    session.call(QStringLiteral("laying out the pages"), [&] {
        // The printer's paper and metrics decide where pages break.
        if (!layoutPrinter.isEmpty())
            uno::Reference<view::XPrintable>(document, uno::UNO_QUERY_THROW)
                ->setPrinter(properties({property("Name", uno::Any(toOUString(layoutPrinter)))}));
        // Before the layout is asked anything: page breaks and counts follow the page styles.
        PageSetup::apply(document, onlySheet, settings);
        const uno::Any selection = onlySheet.is() ? uno::Any(onlySheet) : uno::Any(document);
        const sal_Int32 source = firstPageSheet(document, selection);
        if (onlySheet.is()) {
            name = toQString(uno::Reference<container::XNamed>(onlySheet, uno::UNO_QUERY_THROW)->getName());
            printable = source
                == uno::Reference<sheet::XCellRangeAddressable>(onlySheet, uno::UNO_QUERY_THROW)
                       ->getRangeAddress()
                       .Sheet;
        } else {
            printable = source >= 0;
        }
        if (printable && !pages.isEmpty())
            pageCount = uno::Reference<view::XRenderable>(document, uno::UNO_QUERY_THROW)
                            ->getRendererCount(selection, uno::Sequence<beans::PropertyValue>());
    });
    if (!printable)
        throw nothingToPrint(onlySheet.is(), name);
    if (!pages.isEmpty() && PrintSettings::firstPage(pages) > pageCount)
        throw EngineError(QStringLiteral("The pages asked for (%1) are not there: what the workbook prints has %2 %3; "
                                         "nothing was printed.")
                              .arg(QString(pages).replace(QLatin1Char(';'), QLatin1Char(',')))
                              .arg(pageCount)
                              .arg(pageCount == 1 ? QStringLiteral("page") : QStringLiteral("pages")));

    session.call(QStringLiteral("rendering the pages"), [&] {
        std::vector<beans::PropertyValue> filterData;
        if (onlySheet.is())
            filterData.push_back(property("Selection", uno::Any(onlySheet)));
        // The export counts pages as printing does, with "-" and ";".
        if (!pages.isEmpty())
            filterData.push_back(property("PageRange", uno::Any(toOUString(pages))));
        if (settings.singlePageSheets)
            filterData.push_back(property("SinglePageSheets", uno::Any(true)));
        const uno::Sequence<beans::PropertyValue> arguments = properties(
            {property("FilterName", uno::Any(rtl::OUString("calc_pdf_Export"))),
             property("FilterData", uno::Any(properties(filterData))), property("Overwrite", uno::Any(true))});
        const uno::Reference<frame::XStorable> storable(document, uno::UNO_QUERY_THROW);
        storable->storeToURL(toOUString(QString::fromUtf8(QUrl::fromLocalFile(target).toEncoded())), arguments);
    });
    if (QFileInfo(target).size() == 0)
        throw EngineError(QStringLiteral("LibreOffice rendered no pages for the workbook."));
    // A cell that holds only an empty text, or a control that is not to be
    // printed, gives the sheet a page of its own on which nothing is drawn:
    // only the rendering shows that, and a white sheet of paper is no print.
    const RenderedPages rendered = RenderedPages::read(target);
    if (!rendered.unreadable.isEmpty())
        qCWarning(lcOffice).noquote() << "could not read the rendering" << target << ":" << rendered.unreadable;
    if (!rendered.inked)
        throw nothingToPrint(onlySheet.is(), name);
    return rendered.sizes;
}

} // namespace WorkbookRendering
