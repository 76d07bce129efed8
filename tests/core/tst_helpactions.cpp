// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commands/helpactions.h"
#include "core/common/webaddresses.h"
#include "core/filelist/filelistmodel.h"
#include "support/fakeprompts.h"
#include "support/fakeshellopen.h"
#include "support/scriptedrandom.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class HelpActionsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contactMessageNamesTheContactPage()
    {
        FakePrompts prompts;
        HelpActions::Help(prompts);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].text,
                 u"Questions? Please contact Team Tenvara at "_s + WebAddresses::contactPage());
        QCOMPARE(prompts.messages[0].title, u"Corvane"_s);
        QCOMPARE(prompts.messages[0].style, MessageStyle::Ok);
    }

    void samplesAreAppendedBeforeTheQuestionAndStayOnNo()
    {
        QTemporaryDir program;
        QVERIFY(touch(program.path() + u"/Samples/b.xlsx"_s));
        QVERIFY(touch(program.path() + u"/Samples/a.xls"_s));
        QVERIFY(touch(program.path() + u"/Samples/notes.txt"_s));
        QVERIFY(touch(program.path() + u"/Samples/.hidden.ods"_s));
        FileListModel list;
        FakePrompts prompts;
        FakeShellOpen shell;
        prompts.yesNoAnswers = {MessageAnswer::No, MessageAnswer::Yes};

        HelpActions::LoadSampleFiles(list, prompts, shell, program.path());
        const QString samples = program.path() + u"/Samples/"_s;
        const QStringList expected{samples + u".hidden.ods"_s, samples + u"a.xls"_s, samples + u"b.xlsx"_s,
                                   samples + u"notes.txt"_s};
        QCOMPARE(list.entries(), expected);
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(prompts.messages[0].style, MessageStyle::YesNo);
        QVERIFY(prompts.messages[0].text.startsWith(u"Would you like this software to open the folder"_s));
        QVERIFY(shell.opened.isEmpty());

        HelpActions::LoadSampleFiles(list, prompts, shell, program.path());
        QCOMPARE(list.entries(), expected + expected);
        QCOMPARE(shell.opened, QStringList{samples});
    }

    void missingSampleFolderStillAsks()
    {
        QTemporaryDir program;
        FileListModel list;
        FakePrompts prompts;
        FakeShellOpen shell;
        HelpActions::LoadSampleFiles(list, prompts, shell, program.path());
        QCOMPARE(list.count(), 0);
        QCOMPARE(prompts.messages.size(), 1);
    }

    void demoVideoIsTheFirstVisibleFileOrElseTheFolder()
    {
        QTemporaryDir program;
        FakeShellOpen shell;
        FakePrompts prompts;
        QDir().mkpath(program.path() + u"/Video"_s);
        QVERIFY(touch(program.path() + u"/Video/.partial.webm"_s));
        HelpActions::WatchDemoVideo(shell, prompts, program.path());
        QVERIFY(touch(program.path() + u"/Video/demo.webm"_s));
        QVERIFY(touch(program.path() + u"/Video/zz.webm"_s));
        HelpActions::WatchDemoVideo(shell, prompts, program.path());
        QCOMPARE(shell.opened, (QStringList{program.path() + u"/Video/"_s, program.path() + u"/Video/demo.webm"_s}));
        QVERIFY(prompts.messages.isEmpty());
    }

    void whatTheDesktopCannotOpenIsNamedWithItsPlace()
    {
        QTemporaryDir program;
        QVERIFY(touch(program.path() + u"/Video/demo.webm"_s));
        QVERIFY(touch(program.path() + u"/Samples/a.xls"_s));
        FakeShellOpen shell;
        shell.fails = true;
        FakePrompts prompts;
        prompts.yesNoAnswers = {MessageAnswer::Yes};
        FileListModel list;

        HelpActions::OpenFaq(shell, prompts);
        HelpActions::VisitMainPage(shell, prompts);
        HelpActions::WatchDemoVideo(shell, prompts, program.path());
        HelpActions::LoadSampleFiles(list, prompts, shell, program.path());
        QCOMPARE(shell.opened.size(), 4);
        QStringList texts;
        for (const auto &message : std::as_const(prompts.messages)) {
            if (message.style == MessageStyle::OkExclamation) {
                texts << message.text;
                QCOMPARE(message.title, u"Corvane"_s);
            }
        }
        const QString byHand = u" could not be opened: this computer has no program for it, or it is gone.\n\n"
                               "To open it by hand:\n"_s;
        QCOMPARE(texts,
                 (QStringList{u"The FAQ page"_s + byHand + WebAddresses::faqPage(),
                              u"The Tenvara main page"_s + byHand + WebAddresses::mainPage(),
                              u"The demo video"_s + byHand + program.path() + u"/Video/demo.webm"_s,
                              u"The folder of the sample files"_s + byHand + program.path() + u"/Samples/"_s}));
    }
};

QTEST_GUILESS_MAIN(HelpActionsTest)
#include "tst_helpactions.moc"
