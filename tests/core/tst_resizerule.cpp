// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/resizerule.h"

#include <QTest>

class ResizeRuleTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designSizeStretchesEveryControl()
    {
        const LayoutGeometry g = applyResizeRule(LayoutGeometry::design(), 8235, 8790, false);
        QCOMPARE(g.tabWidth, 7995.f);
        QCOMPARE(g.tabHeight, 6530.f);
        QCOMPARE(g.listWidth, 7515.f);
        QCOMPARE(g.listHeight, 5900.f);
        QCOMPARE(g.frame1Width, 7515.f);
        QCOMPARE(g.frame2Width, 7515.f);
        QCOMPARE(g.comboWidth, 7015.f);
        QCOMPARE(g.progressTop, 8280.f);
        QCOMPARE(g.columnWidth, 7015.f);
        QCOMPARE(g.progressWidth, 7995.f);
    }

    void largeWindowKeepsTheMargins()
    {
        const LayoutGeometry g = applyResizeRule(LayoutGeometry::design(), 28800, 16000, false);
        QCOMPARE(g.tabWidth, 28560.f);
        QCOMPARE(g.progressWidth, g.tabWidth);
        QCOMPARE(g.progressTop, 16000.f - 2260 + 1750);
        QCOMPARE(g.columnWidth, g.listWidth - 500);
    }

    void minimisedChangesNothing()
    {
        const LayoutGeometry before = applyResizeRule(LayoutGeometry::design(), 9000, 9000, false);
        QCOMPARE(applyResizeRule(before, 100, 100, true), before);
    }

    void tooShortKeepsTheTabHeightAndPlacesFromIt()
    {
        const LayoutGeometry before = applyResizeRule(LayoutGeometry::design(), 8235, 8790, false);
        const LayoutGeometry g = applyResizeRule(before, 8235, 2000, false);
        QCOMPARE(g.tabHeight, before.tabHeight);
        QCOMPARE(g.listHeight, before.tabHeight - 630);
        QCOMPARE(g.progressTop, before.tabHeight + 1750);
        QCOMPARE(g.tabWidth, 7995.f);
    }

    void heightBetweenTheMarginsRefusesOnlyTheList()
    {
        const LayoutGeometry before = applyResizeRule(LayoutGeometry::design(), 8235, 8790, false);
        const LayoutGeometry g = applyResizeRule(before, 8235, 2500, false);
        QCOMPARE(g.tabHeight, 240.f);
        QCOMPARE(g.listHeight, before.listHeight);
        QCOMPARE(g.progressTop, 240.f + 1750);
    }

    void tooNarrowKeepsTheDropDownWhileTheFramesFollow()
    {
        const LayoutGeometry before = applyResizeRule(LayoutGeometry::design(), 8235, 8790, false);
        const LayoutGeometry g = applyResizeRule(before, 1000, 8790, false);
        QCOMPARE(g.comboWidth, before.comboWidth);
        QCOMPARE(g.frame1Width, 280.f);
        QCOMPARE(g.frame2Width, 280.f);
        QCOMPARE(g.tabWidth, 760.f);
        QCOMPARE(g.listWidth, 280.f);
        QCOMPARE(g.columnWidth, before.columnWidth);
    }
};

QTEST_GUILESS_MAIN(ResizeRuleTest)
#include "tst_resizerule.moc"
