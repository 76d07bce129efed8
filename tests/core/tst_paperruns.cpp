// SPDX-License-Identifier: GPL-3.0-or-later
// Which paper each page of a rendering asks CUPS for, and which pages go together.
#include "engine/cups/paperruns.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Page sizes in points as LibreOffice writes them.
const QSizeF a4(595.304, 841.89);
const QSizeF a4Landscape(841.89, 595.304);
const QSizeF a3Landscape(1190.55, 841.89);
const QSizeF letter(612, 792);

QStringList described(const std::vector<PaperRuns::Run> &runs)
{
    QStringList texts;
    for (const PaperRuns::Run &run : runs)
        texts << u"%1-%2 %3"_s.arg(run.firstPage).arg(run.lastPage).arg(QString::fromUtf8(run.media));
    return texts;
}

} // namespace

class PaperRunsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagesAskForTheirOwnPaper()
    {
        QCOMPARE(described(PaperRuns::of({a4, a4, a4})), QStringList{u"1-3 iso_a4_210x297mm"_s});
        QCOMPARE(described(PaperRuns::of({letter})), QStringList{u"1-1 na_letter_8.5x11in"_s});
        // A landscape page is on the same paper as an upright one.
        QCOMPARE(described(PaperRuns::of({a4, a4Landscape, a4})), QStringList{u"1-3 iso_a4_210x297mm"_s});
        QVERIFY(described(PaperRuns::of({})).isEmpty());
    }

    void runsFollowThePageOrder()
    {
        QCOMPARE(described(PaperRuns::of({a3Landscape, a4, a4, a3Landscape, letter})),
                 (QStringList{u"1-1 iso_a3_297x420mm"_s, u"2-3 iso_a4_210x297mm"_s, u"4-4 iso_a3_297x420mm"_s,
                              u"5-5 na_letter_8.5x11in"_s}));
    }

    void aSizeWithoutANameIsAskedForByItsSize()
    {
        // 100 x 211 mm, short side first whichever way the page lies.
        const QSizeF odd(283.465, 598.11);
        const QStringList runs = described(PaperRuns::of({odd, odd.transposed()}));
        QCOMPARE(runs, QStringList{u"1-2 custom_100x211mm_100x211mm"_s});
    }
};

QTEST_GUILESS_MAIN(PaperRunsTest)
#include "tst_paperruns.moc"
