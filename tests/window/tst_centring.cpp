// SPDX-License-Identifier: GPL-3.0-or-later
// Run by under-wm.sh, on a display with a window manager.
#include "support/formfixture.h"

#include <QScreen>
#include <QStandardPaths>
#include <QTest>

#include <cstdlib>

using namespace Qt::StringLiterals;

class CentringTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void theFirstStartIsCentredFrameAndAll()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The frame comes from the window manager, a moment after the window.
        QTRY_VERIFY_WITH_TIMEOUT(form.frameGeometry().height() > form.height(), 10000);
        const QRect screen = form.screen()->geometry();
        const auto centred = [&] {
            const QPoint off = form.frameGeometry().center() - screen.center();
            return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
        };
        QTRY_VERIFY2_WITH_TIMEOUT(centred(),
                                  qPrintable(u"frame %1,%2 %3x%4 on a %5x%6 screen"_s.arg(form.frameGeometry().x())
                                                 .arg(form.frameGeometry().y())
                                                 .arg(form.frameGeometry().width())
                                                 .arg(form.frameGeometry().height())
                                                 .arg(screen.width())
                                                 .arg(screen.height())),
                                  5000);
        QCOMPARE(form.size(), QSize(549, 586));
    }

    void aWindowMovedBeforeItsFrameCameStaysWhereItWasPut()
    {
        FormFixture f;
        Form1 &form = f.make();
        form.move(20, 30);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY_WITH_TIMEOUT(form.frameGeometry().height() > form.height(), 10000);
        QTest::qWait(500);
        QCOMPARE(form.frameGeometry().topLeft(), QPoint(20, 30));
    }
};

QTEST_MAIN(CentringTest)
#include "tst_centring.moc"
