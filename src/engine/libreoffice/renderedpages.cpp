// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/libreoffice/renderedpages.h"

#include <QFile>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cmath>
#include <exception>
#include <set>
#include <string>

namespace {

// Finds the first operator of a page's contents that puts something on paper.
class InkFinder final : public QPDFObjectHandle::ParserCallbacks
{
public:
    using QPDFObjectHandle::ParserCallbacks::handleObject;

    void handleObject(QPDFObjectHandle object) override
    {
        // Stroking, filling, shading, text, XObjects (images, forms) and inline images.
        static const std::set<std::string> painting{"S",  "s",  "f",  "F",  "f*", "B",  "B*", "b", "b*",
                                                    "sh", "Do", "Tj", "TJ", "'",  "\"", "BI", "EI"};
        if (object.isInlineImage() || (object.isOperator() && painting.count(object.getOperatorValue()) > 0)) {
            m_inked = true;
            terminateParsing();
        }
    }
    void handleEOF() override {}

    bool inked() const { return m_inked; }

private:
    bool m_inked = false;
};

// A form field's widget is drawn from its own appearance, outside the page's contents.
bool hasWidget(QPDFPageObjectHelper &page)
{
    QPDFObjectHandle annotations = page.getObjectHandle().getKey("/Annots");
    if (!annotations.isArray())
        return false;
    for (QPDFObjectHandle annotation : annotations.aitems()) {
        if (annotation.isDictionary() && annotation.getKey("/Subtype").isNameAndEquals("/Widget"))
            return true;
    }
    return false;
}

bool drawsOn(QPDFPageObjectHelper &page)
{
    if (hasWidget(page))
        return true;
    InkFinder finder;
    page.parseContents(&finder);
    return finder.inked();
}

QSizeF seenSize(QPDFPageObjectHelper &page)
{
    const QPDFObjectHandle::Rectangle box = page.getMediaBox().getArrayAsRectangle();
    const QSizeF size(std::abs(box.urx - box.llx), std::abs(box.ury - box.lly));
    QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
    const bool turned = rotate.isInteger() && (rotate.getIntValue() / 90) % 2 != 0;
    return turned ? size.transposed() : size;
}

} // namespace

RenderedPages RenderedPages::read(const QString &pdf)
{
    RenderedPages pages;
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processFile(QFile::encodeName(pdf).constData());
        bool anyInk = false;
        for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(document).getAllPages()) {
            pages.sizes.append(seenSize(page));
            anyInk = anyInk || drawsOn(page);
        }
        pages.inked = anyInk;
    } catch (const std::exception &error) {
        pages = RenderedPages();
        pages.unreadable = QString::fromUtf8(error.what());
    }
    return pages;
}
