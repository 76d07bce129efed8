// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/resizerule.h"

#include "core/common/designlayout.h"

namespace {

// A control refuses a negative width, height or position; the old value stays.
void assign(float &property, float value)
{
    if (value >= 0)
        property = value;
}

} // namespace

LayoutGeometry LayoutGeometry::design()
{
    using namespace DesignLayout;
    LayoutGeometry g;
    g.tabWidth = float(TabControl1.width);
    g.tabHeight = float(TabControl1.height);
    g.listWidth = float(ListView1.width);
    g.listHeight = float(ListView1.height);
    g.frame1Width = float(Frame1.width);
    g.frame2Width = float(Frame2.width);
    g.comboWidth = float(Combo1.width);
    g.progressTop = float(ProgressBar1.top);
    g.columnWidth = float(listColumnAtLoad);
    g.progressWidth = float(ProgressBar1.width);
    return g;
}

LayoutGeometry applyResizeRule(const LayoutGeometry &current, float clientWidth, float clientHeight, bool minimised)
{
    LayoutGeometry g = current;
    if (minimised)
        return g;

    assign(g.tabWidth, clientWidth - 240);
    assign(g.tabHeight, clientHeight - 2260);
    assign(g.listWidth, g.tabWidth - 480);
    assign(g.listHeight, g.tabHeight - 630);
    assign(g.frame1Width, clientWidth - 720);
    assign(g.frame2Width, clientWidth - 720);
    assign(g.comboWidth, clientWidth - 1220);
    assign(g.progressTop, g.tabHeight + 1750);
    assign(g.columnWidth, g.listWidth - 500);
    assign(g.progressWidth, g.tabWidth);
    return g;
}
