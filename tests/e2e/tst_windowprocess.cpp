// SPDX-License-Identifier: GPL-3.0-or-later
// End to end: the real corvane executable on a virtual display, ended the
// ways a user ends it. What counts is that the process is gone.
#include "e2e/officeleftovers.h"
#include "support/hungprintserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
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

    QProcess m_display;

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
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QStringList all = windowsOf(pid, u"^Corvane$"_s);
                if (all.size() > 1 && !OfficeLeftovers::answering(pid)) {
                    xdotool({u"windowfocus"_s, all.last()});
                    xdotool({u"key"_s, u"Return"_s});
                }
                return OfficeLeftovers::answering(pid);
            },
            60000));
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
