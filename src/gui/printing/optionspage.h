// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

struct LayoutGeometry;
class QComboBox;
class QGroupBox;
class QRadioButton;

// The "Options" tab: the printer drop-down in "Select Printer" and the choice
// between the active sheet and all sheets in "Print Options".
class OptionsPage final : public QWidget
{
    Q_OBJECT

public:
    explicit OptionsPage(const QFont &font, QWidget *parent = nullptr);

    QComboBox *printerBox() const;
    bool printActiveSheet() const;
    bool printAllSheets() const;

    // Places the frames by the window's layout; pageOrigin is where this page
    // sits inside the tab control, whose coordinates the design uses.
    void place(const LayoutGeometry &layout, QPoint pageOrigin);

private:
    QGroupBox *Frame2 = nullptr;
    QComboBox *Combo1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
};
