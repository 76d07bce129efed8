// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the main window closed while its LibreOffice hangs.
#include "core/filelist/filelistmodel.h"
#include "e2e/officeleftovers.h"
#include "engine/cups/cupsprintersystem.h"
#include "engine/libreoffice/libreofficeengine.h"
#include "gui/shell/form1.h"
#include "support/fakeprompts.h"
#include "support/fakeshellopen.h"
#include "support/scriptedrandom.h"
#include "support/tempsettings.h"
#include "support/withoutuseroffice.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class WindowCloseTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void closingTheWindowWhileTheOfficeHangsEndsEverythingAtOnce()
    {
        const QString workbooks = QString::fromLocal8Bit(qgetenv("CORVANE_E2E_DIR")) + u"/workbooks/"_s;
        FakePrompts prompts;
        FakeShellOpen shell;
        ScriptedRandom random;
        TempSettings settings;
        CupsPrinterSystem printers;
        LibreOfficeEngine office(printers);
        WithoutUserOffice engine(office);
        QTemporaryDir programFolder;
        Form1 form(Form1Services{prompts, shell, random, settings.store, engine, printers, programFolder.path()});
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.fileList().append(QStringList{workbooks + u"three-sheets.xlsx"_s, workbooks + u"two-sheets.ods"_s,
                                           workbooks + u"legacy.xls"_s});

        const qint64 self = QCoreApplication::applicationPid();
        QElapsedTimer sinceClose;
        QTimer probe;
        // Once the first office answers, it hangs (stopped), and the user closes the window.
        QObject::connect(&probe, &QTimer::timeout, &form, [&] {
            if (!OfficeLeftovers::answering(self))
                return;
            probe.stop();
            OfficeLeftovers::signalAll(self, SIGSTOP);
            sinceClose.start();
            form.close();
        });
        probe.start(20);
        form.Start();
        const qint64 took = sinceClose.elapsed();

        QVERIFY(sinceClose.isValid());
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));
        QVERIFY(!form.isVisible());
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.value(0).text));
        QCOMPARE(OfficeLeftovers::of(self), QStringList());
        QVERIFY(settings.get(u"Width"_s) != u"<none>"_s);
    }
};

QTEST_MAIN(WindowCloseTest)
#include "tst_windowclose.moc"
