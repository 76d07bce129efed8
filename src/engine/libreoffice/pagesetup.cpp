// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/pagesetup.h"

#include "core/common/logcategories.h"
#include "core/printing/printsettings.h"
#include "engine/libreoffice/unostrings.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/Property.hpp>
#include <com/sun/star/beans/PropertyAttribute.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/beans/XPropertySetInfo.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

using namespace com::sun::star;

namespace {

template<typename T> T value(const uno::Reference<beans::XPropertySet> &object, const char *name)
{
    T result{};
    object->getPropertyValue(rtl::OUString::createFromAscii(name)) >>= result;
    return result;
}

template<typename T>
void setValue(const uno::Reference<beans::XPropertySet> &object, const char *name, const T &newValue)
{
    object->setPropertyValue(rtl::OUString::createFromAscii(name), uno::Any(newValue));
}

// Whether what a sheet holds is wider than tall, measured as it lies on the page.
bool widerThanTall(const uno::Reference<sheet::XSpreadsheet> &sheet)
{
    const uno::Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
    const uno::Reference<sheet::XUsedAreaCursor> used(cursor, uno::UNO_QUERY_THROW);
    used->gotoStartOfUsedArea(false);
    used->gotoEndOfUsedArea(true);
    const auto size = value<awt::Size>(uno::Reference<beans::XPropertySet>(cursor, uno::UNO_QUERY_THROW), "Size");
    return size.Width > size.Height;
}

// The orientation a sheet is to have; none: its style's own.
std::optional<bool> landscapeFor(const uno::Reference<sheet::XSpreadsheet> &sheet, PrintSettings::Orientation wanted)
{
    switch (wanted) {
    case PrintSettings::Orientation::Portrait:
        return false;
    case PrintSettings::Orientation::Landscape:
        return true;
    case PrintSettings::Orientation::Auto:
        return widerThanTall(sheet) ? std::optional<bool>(true) : std::nullopt;
    case PrintSettings::Orientation::AsIs:
        break;
    }
    return std::nullopt;
}

// A new page style with everything of original, under a name no style has.
rtl::OUString copyStyle(const uno::Reference<lang::XComponent> &document,
                        const uno::Reference<container::XNameContainer> &styles, const rtl::OUString &original)
{
    rtl::OUString name;
    for (int n = 2; name.isEmpty() || styles->hasByName(name); ++n)
        name = original + " (" + rtl::OUString::number(n) + ")";
    const uno::Reference<beans::XPropertySet> copy(
        uno::Reference<lang::XMultiServiceFactory>(document, uno::UNO_QUERY_THROW)
            ->createInstance("com.sun.star.style.PageStyle"),
        uno::UNO_QUERY_THROW);
    styles->insertByName(name, uno::Any(copy));
    const uno::Reference<beans::XPropertySet> source(styles->getByName(original), uno::UNO_QUERY_THROW);
    for (const beans::Property &property : source->getPropertySetInfo()->getProperties()) {
        if ((property.Attributes & beans::PropertyAttribute::READONLY) != 0)
            continue;
        try {
            copy->setPropertyValue(property.Name, source->getPropertyValue(property.Name));
        } catch (const uno::Exception &) {
            // A property a new style does not take (a name, a display name) stays as it is.
            qCDebug(lcOffice).noquote() << "page style" << toQString(name) << "keeps its own"
                                        << toQString(property.Name);
        }
    }
    return name;
}

void fit(const uno::Reference<beans::XPropertySet> &style, PrintSettings::Fit wanted)
{
    const auto pages = value<sal_Int16>(style, "ScaleToPages");
    const auto wide = value<sal_Int16>(style, "ScaleToPagesX");
    const auto tall = value<sal_Int16>(style, "ScaleToPagesY");
    // A sheet already set to one page, or to one page wide, is left as it is.
    if (pages == 1 || (wanted == PrintSettings::Fit::Width && wide == 1)
        || (wanted == PrintSettings::Fit::Page && wide == 1 && tall == 1))
        return;
    if (wanted == PrintSettings::Fit::Width) {
        setValue(style, "ScaleToPages", sal_Int16(0));
        setValue(style, "ScaleToPagesX", sal_Int16(1));
        // None: as many pages tall as the sheet needs.
        setValue(style, "ScaleToPagesY", sal_Int16(0));
    } else if (wanted == PrintSettings::Fit::Page) {
        setValue(style, "ScaleToPages", sal_Int16(1));
    }
}

void paperAndOrientation(const uno::Reference<beans::XPropertySet> &style, const PrintSettings::Paper &paper,
                         std::optional<bool> landscape)
{
    if (!paper.isSet() && !landscape)
        return;
    const auto width = value<sal_Int32>(style, "Width");
    const auto height = value<sal_Int32>(style, "Height");
    const bool isLandscape = landscape.value_or(value<bool>(style, "IsLandscape"));
    const sal_Int32 shortSide = paper.isSet() ? paper.shortSide : std::min(width, height);
    const sal_Int32 longSide = paper.isSet() ? paper.longSide : std::max(width, height);
    // The flag first: LibreOffice reads it when the sizes arrive.
    setValue(style, "IsLandscape", isLandscape);
    setValue(style, "Width", isLandscape ? longSide : shortSide);
    setValue(style, "Height", isLandscape ? shortSide : longSide);
}

} // namespace

namespace PageSetup {

void apply(const uno::Reference<lang::XComponent> &document, const uno::Reference<sheet::XSpreadsheet> &onlySheet,
           const PrintSettings &settings)
{
    if (!settings.changesPageSetup())
        return;
    std::vector<uno::Reference<sheet::XSpreadsheet>> sheets;
    if (onlySheet.is()) {
        sheets.push_back(onlySheet);
    } else {
        const uno::Reference<container::XIndexAccess> all(
            uno::Reference<sheet::XSpreadsheetDocument>(document, uno::UNO_QUERY_THROW)->getSheets(),
            uno::UNO_QUERY_THROW);
        for (sal_Int32 i = 0; i < all->getCount(); ++i)
            sheets.emplace_back(all->getByIndex(i), uno::UNO_QUERY_THROW);
    }
    const uno::Reference<container::XNameContainer> styles(
        uno::Reference<style::XStyleFamiliesSupplier>(document, uno::UNO_QUERY_THROW)
            ->getStyleFamilies()
            ->getByName("PageStyles"),
        uno::UNO_QUERY_THROW);

    // The style each orientation of a style's sheets ends up with: the first
    // keeps the style, any other gets a copy, made before any style changes,
    // so that no sheet changes another's.
    std::map<std::pair<rtl::OUString, std::optional<bool>>, rtl::OUString> styleFor;
    std::map<rtl::OUString, bool> taken;
    for (const uno::Reference<sheet::XSpreadsheet> &sheet : sheets) {
        const uno::Reference<beans::XPropertySet> sheetProperties(sheet, uno::UNO_QUERY_THROW);
        const auto original = value<rtl::OUString>(sheetProperties, "PageStyle");
        const auto key = std::make_pair(original, landscapeFor(sheet, settings.orientation));
        auto found = styleFor.find(key);
        if (found == styleFor.end()) {
            found = styleFor.emplace(key, taken[original] ? copyStyle(document, styles, original) : original).first;
            taken[original] = true;
        }
        if (found->second != original)
            setValue(sheetProperties, "PageStyle", found->second);
    }
    for (const auto &[key, name] : styleFor) {
        const uno::Reference<beans::XPropertySet> style(styles->getByName(name), uno::UNO_QUERY_THROW);
        fit(style, settings.fit);
        paperAndOrientation(style, settings.paper, key.second);
    }
}

} // namespace PageSetup
