// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/printing/optionspage.h"

#include "core/common/designlayout.h"
#include "core/common/resizerule.h"
#include "core/common/twips.h"
#include "core/printing/printingtexts.h"
#include "gui/printing/designlook.h"

#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

int px(double twips)
{
    return Twips::toPixels(twips);
}

void placeAtDesign(QWidget &widget, const DesignLayout::TwipRect &rect)
{
    widget.setGeometry(px(rect.left), px(rect.top), px(rect.width), px(rect.height));
}

// The design puts a frame's first control 300 twips down, under a caption
// drawn smaller than this style draws it; left there, the frame's top edge
// runs through the control. The frame's controls move down together until
// the first is `clearance` twips below that edge, never higher than designed.
void keepBelowCaption(const QGroupBox &frame, double clearance,
                      const std::initializer_list<std::pair<QWidget *, DesignLayout::TwipRect>> controls)
{
    const int firstTop = px(controls.begin()->second.top);
    const int shift = std::max(0, frame.contentsRect().top() + px(clearance) - firstTop);
    for (const auto &[control, rect] : controls)
        control->move(px(rect.left), px(rect.top) + shift);
}

} // namespace

OptionsPage::OptionsPage(const QFont &font, QWidget *parent)
    : QWidget(parent)
{
    Frame2 = new QGroupBox(PrintingTexts::selectPrinterFrame(), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Combo1 = new QComboBox(Frame2);
    Combo1->setObjectName(QStringLiteral("Combo1"));

    Frame1 = new QGroupBox(PrintingTexts::printOptionsFrame(), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Option1 = new QRadioButton(PrintingTexts::activeSheetOption(), Frame1);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(PrintingTexts::allSheetsOption(), Frame1);
    Option2->setObjectName(QStringLiteral("Option2"));
    Option1->setChecked(true);

    for (QWidget *widget :
         {static_cast<QWidget *>(Frame2), static_cast<QWidget *>(Combo1), static_cast<QWidget *>(Frame1),
          static_cast<QWidget *>(Option1), static_cast<QWidget *>(Option2)})
        widget->setFont(font);
    DesignLook::makeWhite(*Frame2, true);
    DesignLook::makeWhite(*Frame1, true);
    // Option buttons do not fill their background, so they do not stand out
    // as boxes against the frame the style draws.
    DesignLook::makeWhite(*Option1, false);
    DesignLook::makeWhite(*Option2, false);

    placeAtDesign(*Frame2, DesignLayout::Frame2);
    placeAtDesign(*Combo1, DesignLayout::Combo1);
    placeAtDesign(*Frame1, DesignLayout::Frame1);
    placeAtDesign(*Option1, DesignLayout::Option1);
    placeAtDesign(*Option2, DesignLayout::Option2);
}

QComboBox *OptionsPage::printerBox() const
{
    return Combo1;
}

bool OptionsPage::printActiveSheet() const
{
    return Option1->isChecked();
}

bool OptionsPage::printAllSheets() const
{
    return Option2->isChecked();
}

void OptionsPage::place(const LayoutGeometry &layout, QPoint pageOrigin)
{
    namespace D = DesignLayout;
    Frame2->setGeometry(px(D::Frame2.left) - pageOrigin.x(), px(D::Frame2.top) - pageOrigin.y(), px(layout.frame2Width),
                        px(D::Frame2.height));
    Frame1->setGeometry(px(D::Frame1.left) - pageOrigin.x(), px(D::Frame1.top) - pageOrigin.y(), px(layout.frame1Width),
                        px(D::Frame1.height));
    Combo1->resize(px(layout.comboWidth), px(D::Combo1.height));
    // The drop-down draws a border of its own; an option button's text needs air.
    keepBelowCaption(*Frame2, 15, {{Combo1, D::Combo1}});
    keepBelowCaption(*Frame1, 30, {{Option1, D::Option1}, {Option2, D::Option2}});
}
