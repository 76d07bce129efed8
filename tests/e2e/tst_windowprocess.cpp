// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the real corvane executable on a virtual display, ended the
// ways a user ends it. What counts is that the process is gone.
#include "core/filelist/folderwalk.h"
#include "e2e/officeleftovers.h"
#include "support/hungprintserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <X11/Xlib.h>

using namespace Qt::StringLiterals;

namespace {

QString environment(const char *name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

QString workbook(const QString &name)
{
    return environment("CORVANE_E2E_DIR") + u"/workbooks/"_s + name;
}

// The visible top-level windows of a process whose title matches the pattern.
QStringList windowsOf(qint64 pid, const QString &title)
{
    QProcess search;
    search.start(u"xdotool"_s,
                 {u"search"_s, u"--all"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(pid), u"--name"_s, title});
    search.waitForFinished(10000);
    return QString::fromLatin1(search.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool xdotool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(u"xdotool"_s, arguments);
    return tool.waitForFinished(10000) && tool.exitCode() == 0;
}

// What the window manager sends when the user closes a window.
bool askToClose(const QString &window)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(window.toULong());
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
    XFlush(display);
    XCloseDisplay(display);
    return sent;
}

// How long after `since` the process ended (a zombie counts as ended: the
// wait reaps it), or -1 when it still runs 10 s later.
qint64 endedAfter(QProcess &process, const QElapsedTimer &since)
{
    if (!process.waitForFinished(10000))
        return -1;
    return since.elapsed();
}

// A tree of many folders and files, whose walk takes a while.
bool makeLargeTree(const QString &root, int folders, int filesEach)
{
    for (int f = 0; f < folders; ++f) {
        const QString folder = root + u"/folder%1/sub"_s.arg(f, 4, 10, QLatin1Char('0'));
        if (!QDir().mkpath(folder))
            return false;
        for (int i = 0; i < filesEach; ++i) {
            QFile file(folder + u"/book%1.xlsx"_s.arg(i));
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
    }
    return true;
}

// Whether the process has a folder under root open: its walk is under way.
bool walking(qint64 pid, const QString &root)
{
    const QString fds = u"/proc/%1/fd"_s.arg(pid);
    const QStringList entries = QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &fd : entries) {
        if (QFile::symLinkTarget(fds + u'/' + fd).startsWith(root + u'/'))
            return true;
    }
    return false;
}

// Waits until the run's office answers, saying yes (the default) to the
// "LibreOffice may be open" question should someone else's office run.
bool officeAnswersAfterAnyQuestion(qint64 pid)
{
    return QTest::qWaitFor(
        [&] {
            const QStringList all = windowsOf(pid, u"^Corvane$"_s);
            if (all.size() > 1 && !OfficeLeftovers::answering(pid)) {
                xdotool({u"windowfocus"_s, all.last()});
                xdotool({u"key"_s, u"Return"_s});
            }
            return OfficeLeftovers::answering(pid);
        },
        60000);
}

} // namespace

class WindowProcessTest final : public QObject
{
    Q_OBJECT

private:
    // Starts the window on the virtual display with the given print server.
    static void start(QProcess &corvane, const QStringList &arguments, const QString &cupsServer)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
        env.insert(u"CUPS_SERVER"_s, cupsServer);
        corvane.setProcessEnvironment(env);
        corvane.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        corvane.start(QStringLiteral(CORVANE_BINARY), arguments);
    }

    // Answers every dialog of the process with its default button until the
    // main window shows; how long that took, or -1.
    static qint64 untilMainWindow(QProcess &corvane, QElapsedTimer &timer, int timeoutMs)
    {
        const qint64 pid = corvane.processId();
        while (timer.elapsed() < timeoutMs && corvane.state() == QProcess::Running) {
            const QStringList reports = windowsOf(pid, u"^Application Error$"_s);
            if (!reports.isEmpty()) {
                xdotool({u"windowfocus"_s, reports.first()});
                xdotool({u"key"_s, u"Return"_s});
            } else if (!windowsOf(pid, u"^Corvane$"_s).isEmpty()) {
                return timer.elapsed();
            }
            QTest::qWait(50);
        }
        return -1;
    }

    // The visible main window of the process, once it shows; empty after 30 s.
    static QString mainWindow(QProcess &corvane)
    {
        QString window;
        (void)QTest::qWaitFor(
            [&] {
                window = windowsOf(corvane.processId(), u"^Corvane$"_s).value(0);
                return !window.isEmpty() || corvane.state() != QProcess::Running;
            },
            30000);
        return window;
    }

    // Waits until a box of the program shows over the main window.
    static bool boxShows(QProcess &corvane, int timeoutMs)
    {
        return QTest::qWaitFor([&] { return windowsOf(corvane.processId(), u"^Corvane$"_s).size() > 1; }, timeoutMs);
    }

    QProcess m_display;
    QTemporaryDir m_tree;
    qint64 m_treeWalkMs = -1;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(workbook(u"three-sheets.xlsx"_s)).isFile(), "the e2e fixture has not run");
        // A display of the test's own; the server picks a free number and says which.
        m_display.start(
            u"Xvfb"_s,
            {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1024x768x24"_s, u"-nolisten"_s, u"tcp"_s, u"-noreset"_s});
        QVERIFY(m_display.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return m_display.canReadLine(); }, 30000));
        const QByteArray number = m_display.readLine().trimmed();
        QVERIFY(!number.isEmpty());
        // A QByteArray of its own: Qt 6.8's qputenv takes a QByteArrayView,
        // which the string builder of "+" does not convert to.
        const QByteArray display = ":" + number;
        qputenv("DISPLAY", display);
    }

    void cleanupTestCase()
    {
        m_display.terminate();
        m_display.waitForFinished(5000);
    }

    void closingTheWindowDuringARunEndsTheProgram()
    {
        QProcess corvane;
        start(corvane, {workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s), workbook(u"legacy.xls"_s)},
              environment("CUPS_SERVER"));
        QVERIFY(corvane.waitForStarted());
        const qint64 pid = corvane.processId();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(untilMainWindow(corvane, timer, 30000) >= 0);
        const QString window = windowsOf(pid, u"^Corvane$"_s).first();

        // Where the toolbar's button is in a window laid out as this one.
        QVERIFY(xdotool({u"mousemove"_s, u"--window"_s, window, u"275"_s, u"60"_s, u"click"_s, u"1"_s}));
        // Should someone else's LibreOffice run, the question comes first: its default goes on.
        QVERIFY(officeAnswersAfterAnyQuestion(pid));
        // The office hangs, and the user closes the window.
        OfficeLeftovers::signalAll(pid, SIGSTOP);
        QElapsedTimer sinceClose;
        sinceClose.start();
        QVERIFY(askToClose(window));
        QVERIFY2(corvane.waitForFinished(10000), "the program still runs after its window was closed");
        QVERIFY2(sinceClose.elapsed() < 2000, qPrintable(QString::number(sinceClose.elapsed())));
        QCOMPARE(corvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
    }

    void aTerminationRequestEndsTheProgramWhileAStartupReportIsOpen_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void aTerminationRequestEndsTheProgramWhileAStartupReportIsOpen()
    {
        QFETCH(int, signal);
        QProcess corvane;
        start(corvane, {}, u"/nonexistent/cups.sock"_s);
        QVERIFY(corvane.waitForStarted());
        const qint64 pid = corvane.processId();
        QVERIFY(QTest::qWaitFor([&] { return !windowsOf(pid, u"^Application Error$"_s).isEmpty(); }, 30000));
        QElapsedTimer timer;
        timer.start();
        ::kill(pid_t(pid), signal);
        QVERIFY2(corvane.waitForFinished(10000), "the program still runs after a termination request");
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    void aStopDuringTheStartupWalkEndsTheProgramWithinASecond_data()
    {
        QTest::addColumn<bool>("signal");
        QTest::newRow("SIGTERM") << true;
        QTest::newRow("window closed") << false;
    }
    void aStopDuringTheStartupWalkEndsTheProgramWithinASecond()
    {
        QFETCH(bool, signal);
        if (m_treeWalkMs < 0) {
            QVERIFY(makeLargeTree(m_tree.path(), 200, 2000));
            QElapsedTimer walk;
            walk.start();
            QCOMPARE(AddFolder::CollectFiles(m_tree.path(), u"*.*"_s).size(), 400000);
            m_treeWalkMs = walk.elapsed();
        }
        QProcess corvane;
        start(corvane, {m_tree.path()}, environment("CUPS_SERVER"));
        QVERIFY(corvane.waitForStarted());
        // The walk starts as the window shows; the stop comes while it has a folder open.
        const QString window = mainWindow(corvane);
        QVERIFY(!window.isEmpty());
        QVERIFY2(QTest::qWaitFor([&] { return walking(corvane.processId(), m_tree.path()); }, 10000),
                 "the walk was not seen under way");
        QElapsedTimer sinceStop;
        sinceStop.start();
        if (signal)
            ::kill(pid_t(corvane.processId()), SIGTERM);
        else
            QVERIFY(askToClose(window));
        const qint64 took = endedAfter(corvane, sinceStop);
        qInfo("%s during a walk of %lld ms: ended after %lld ms", signal ? "SIGTERM" : "close",
              static_cast<long long>(m_treeWalkMs), static_cast<long long>(took));
        QVERIFY2(took >= 0, "the program still runs 10 s after it was asked to end");
        QVERIFY2(took < 1000, qPrintable(QString::number(took)));
        QCOMPARE(corvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(corvane.exitCode(), signal ? 128 + SIGTERM : 0);
    }

    void closingTheWindowOverABoxEndsTheProgram_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("the help message, idle") << u"help"_s;
        QTest::newRow("the first box of a run of nothing") << u"empty run"_s;
        QTest::newRow("printing was stopped") << u"stopped"_s;
    }
    void closingTheWindowOverABoxEndsTheProgram()
    {
        QFETCH(QString, box);
        QProcess corvane;
        const bool stopped = box == u"stopped"_s;
        start(corvane,
              stopped ? QStringList{workbook(u"three-sheets.xlsx"_s), workbook(u"two-sheets.ods"_s)} : QStringList{},
              environment("CUPS_SERVER"));
        QVERIFY(corvane.waitForStarted());
        const qint64 pid = corvane.processId();
        const QString window = mainWindow(corvane);
        QVERIFY(!window.isEmpty());
        QVERIFY(xdotool({u"windowfocus"_s, u"--sync"_s, window}));
        if (box == u"help"_s) {
            QVERIFY(xdotool({u"key"_s, u"alt+h"_s}));
            QVERIFY(xdotool({u"key"_s, u"Return"_s}));
        } else {
            QVERIFY(xdotool({u"key"_s, u"ctrl+p"_s}));
        }
        if (stopped) {
            // Someone else's LibreOffice may be asked about first: its default goes on.
            QVERIFY(officeAnswersAfterAnyQuestion(pid));
            QVERIFY(xdotool({u"windowfocus"_s, u"--sync"_s, window}));
            QVERIFY(xdotool({u"key"_s, u"Escape"_s}));
            // The box comes once the workbook under way is done and its office gone.
            QVERIFY(QTest::qWaitFor(
                [&] { return OfficeLeftovers::of(pid).isEmpty() && windowsOf(pid, u"^Corvane$"_s).size() > 1; },
                120000));
        } else {
            QVERIFY(boxShows(corvane, 30000));
        }
        QElapsedTimer sinceClose;
        sinceClose.start();
        QVERIFY(askToClose(window));
        const qint64 took = endedAfter(corvane, sinceClose);
        qInfo("close over the %s box: ended after %lld ms", qPrintable(box), static_cast<long long>(took));
        QVERIFY2(took >= 0, "the program still runs 10 s after its window was closed over a box");
        QVERIFY2(took < 1000, qPrintable(QString::number(took)));
        QCOMPARE(corvane.exitStatus(), QProcess::NormalExit);
        QCOMPARE(OfficeLeftovers::of(pid), QStringList());
    }

    void aPrintServerThatNeverAnswersDelaysTheWindowBySecondsOnly()
    {
        HungPrintServer server;
        QVERIFY(server.isListening());
        QProcess corvane;
        QElapsedTimer timer;
        timer.start();
        start(corvane, {}, server.path());
        QVERIFY(corvane.waitForStarted());
        const qint64 shown = untilMainWindow(corvane, timer, 60000);
        QVERIFY2(shown >= 0 && shown < 15000, qPrintable(QString::number(shown)));
        corvane.terminate();
        QVERIFY(corvane.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(WindowProcessTest)
#include "tst_windowprocess.moc"
