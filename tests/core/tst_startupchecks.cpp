// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/webaddresses.h"
#include "core/shell/globals.h"
#include "core/shell/isinstalled.h"
#include "core/shell/programfolder.h"
#include "support/fakeengine.h"
#include "support/fakeprompts.h"
#include "support/fakeshellopen.h"
#include "support/scriptedrandom.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class StartupChecksTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainPageOpensOnlyOnTheSeventhOfAHundred_data()
    {
        QTest::addColumn<double>("draw");
        QTest::addColumn<bool>("opens");
        QTest::newRow("0.00 draws 1") << 0.0 << false;
        QTest::newRow("0.0599 draws 6") << 0.0599 << false;
        QTest::newRow("0.06 draws 7") << 0.06 << true;
        QTest::newRow("0.0699 draws 7") << 0.0699 << true;
        QTest::newRow("0.07 draws 8") << 0.07 << false;
        QTest::newRow("0.9999 draws 100") << 0.9999 << false;
    }
    void mainPageOpensOnlyOnTheSeventhOfAHundred()
    {
        QFETCH(double, draw);
        QFETCH(bool, opens);
        ScriptedRandom random({draw});
        FakeShellOpen shell;
        Globals::OpenMainPageOccasionally(random, shell);
        QCOMPARE(shell.opened, opens ? QStringList{WebAddresses::mainPage()} : QStringList());
    }

    void missingEngineIsToldOnce()
    {
        FakeEngine engine(FakeEngine::Availability::Missing);
        FakePrompts prompts;
        IsInstalled::CheckExcelInstalled(engine, prompts);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text,
                 u"LibreOffice is not installed on this computer. You need to have it installed to use this "
                 "software without error."_s);
        QCOMPARE(prompts.messages[0].title, u"Corvane"_s);
        QCOMPARE(prompts.messages[0].style, MessageStyle::Ok);
    }

    void aCheckThatFailsCountsAsMissing()
    {
        FakeEngine engine(FakeEngine::Availability::Broken);
        FakePrompts prompts;
        IsInstalled::CheckExcelInstalled(engine, prompts);
        QCOMPARE(prompts.messages.size(), 1);
    }

    void dataFilesAreFoundBesideTheProgramOrUnderShare()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + u"/build/bin"_s);
        QCOMPARE(ProgramFolder(dir.path() + u"/build/bin"_s), dir.path() + u"/build/bin"_s);
        QDir().mkpath(dir.path() + u"/usr/bin"_s);
        QDir().mkpath(dir.path() + u"/usr/share/corvane"_s);
        QCOMPARE(ProgramFolder(dir.path() + u"/usr/bin"_s), dir.path() + u"/usr/share/corvane"_s);
    }

    void installedEngineShowsNothing()
    {
        FakeEngine engine(FakeEngine::Availability::Installed);
        FakePrompts prompts;
        IsInstalled::CheckExcelInstalled(engine, prompts);
        QVERIFY(prompts.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(StartupChecksTest)
#include "tst_startupchecks.moc"
