// SPDX-License-Identifier: GPL-3.0-or-later
// The machinery that keeps offices in check, with stand-in programs: how an
// office is started and ended, the time bound on calls, and the registry
// through which a stop ends every office.
#include "printing/engineerror.h"
#include "printing/libreoffice/libreofficeprocess.h"
#include "printing/libreoffice/officelauncher.h"
#include "printing/libreoffice/officeregistry.h"
#include "printing/libreoffice/officeworkspace.h"
#include "printing/libreoffice/watchdog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <memory>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Whether a process of the group still runs (zombies do not count).
bool groupRuns(pid_t group)
{
    for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(u"/proc/"_s + pid + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 2 && fields[2].toInt() == group && fields[0] != "Z")
            return true;
    }
    return false;
}

} // namespace

class OfficeProcessTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // A stand-in office: a script that waits, and with a helper, starts one
    // in its group first as the start script does.
    QString standIn(bool withHelper = false)
    {
        QString program = m_dir.path() + (withHelper ? u"/office-with-helper"_s : u"/office"_s);
        QFile script(program);
        if (!script.exists() && script.open(QIODevice::WriteOnly)) {
            script.write(withHelper ? "#!/bin/sh\nsleep 60 &\nexec sleep 60\n" : "#!/bin/sh\nexec sleep 60\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        return program;
    }

private Q_SLOTS:
    void init() { OfficeRegistry::clearStop(); }

    void anOfficeOutlivesTheThreadThatAskedForItButNotTheLauncher()
    {
        OfficeWorkspace workspace(m_dir.path() + u"/workspace"_s);
        auto launcher = std::make_unique<OfficeLauncher>();
        std::unique_ptr<LibreOfficeProcess> office;
        // The window's steps run on threads that end with the step.
        std::thread step(
            [&] { office = std::make_unique<LibreOfficeProcess>(standIn(), QString(), workspace, *launcher); });
        step.join();
        QVERIFY(office);
        const pid_t group = office->processGroup();
        QTest::qWait(300);
        QVERIFY(office->isRunning());

        // The launcher goes as the program does when it is killed.
        launcher.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!office->isRunning(), 1000);
        office.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!groupRuns(group), 2000);
    }

    void endingAnOfficeEndsItsWholeGroupFromAnyThread()
    {
        OfficeWorkspace workspace(m_dir.path() + u"/workspace"_s);
        OfficeLauncher launcher;
        LibreOfficeProcess office(standIn(true), QString(), workspace, launcher);
        const pid_t group = office.processGroup();
        QTRY_VERIFY_WITH_TIMEOUT(groupRuns(group), 2000);
        // The watchdog and the caller may end it at the same time.
        std::thread watchdog([&] { office.kill(); });
        office.kill();
        watchdog.join();
        QVERIFY(!office.isRunning());
        QVERIFY(!groupRuns(group));
    }

    void aProgramThatCannotStartIsReported()
    {
        OfficeWorkspace workspace(m_dir.path() + u"/workspace"_s);
        OfficeLauncher launcher;
        try {
            LibreOfficeProcess office(m_dir.path() + u"/missing"_s, QString(), workspace, launcher);
            QFAIL("a program that is not there started");
        } catch (const EngineError &failure) {
            QVERIFY2(failure.description().contains(u"could not be started"_s), failure.what());
        }
        QCOMPARE(QDir(m_dir.path() + u"/workspace"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    }

    void theWatchdogActsOnlyWhenACallOutlastsItsBound()
    {
        std::atomic<int> actions{0};
        Watchdog watchdog([&] { ++actions; });
        watchdog.arm(2000);
        QTest::qWait(50);
        watchdog.disarm();
        QTest::qWait(100);
        QCOMPARE(actions.load(), 0);
        QVERIFY(!watchdog.fired());

        watchdog.arm(30);
        QTRY_VERIFY_WITH_TIMEOUT(watchdog.fired(), 2000);
        watchdog.disarm();
        QCOMPARE(actions.load(), 1);
    }

    void theWatchdogActsAsSoonAsALimitIsPassed()
    {
        std::atomic<int> actions{0};
        std::atomic<bool> over{false};
        Watchdog watchdog([&] { ++actions; }, [&] { return over.load(); });
        watchdog.arm(60000);
        QTest::qWait(3 * Watchdog::checkIntervalMs);
        QCOMPARE(actions.load(), 0);
        QElapsedTimer timer;
        timer.start();
        over = true;
        QTRY_VERIFY_WITH_TIMEOUT(watchdog.fired(), 2000);
        QVERIFY(timer.elapsed() < qint64(3) * Watchdog::checkIntervalMs);
        QCOMPARE(watchdog.cause(), Watchdog::Cause::Limit);
        watchdog.disarm();
        QCOMPARE(actions.load(), 1);
    }

    void disarmingWaitsForAnActionUnderWay()
    {
        std::atomic<bool> started{false};
        std::atomic<bool> finished{false};
        Watchdog watchdog([&] {
            started = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            finished = true;
        });
        watchdog.arm(1);
        QTRY_VERIFY_WITH_TIMEOUT(started.load(), 2000);
        watchdog.disarm();
        // Whoever disarmed may now end or replace the office itself.
        QVERIFY(finished.load());
    }

    void theRegistryRefusesAGroupItCannotStopAndStopsTheOthers()
    {
        OfficeLauncher launcher;
        QList<pid_t> groups;
        int error = 0;
        for (int i = 0; i <= OfficeRegistry::capacity; ++i) {
            const pid_t pid = launcher.start({"/bin/sleep", "60"}, {}, "/dev/null", error);
            QVERIFY(pid > 0);
            groups << pid;
        }
        for (int i = 0; i < OfficeRegistry::capacity; ++i)
            QVERIFY(OfficeRegistry::add(groups[i]));
        QVERIFY(!OfficeRegistry::add(groups.last()));

        OfficeRegistry::requestStop();
        QVERIFY(OfficeRegistry::stopRequested());
        for (int i = 0; i < OfficeRegistry::capacity; ++i) {
            int status = 0;
            QCOMPARE(::waitpid(groups[i], &status, 0), groups[i]);
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
            OfficeRegistry::remove(groups[i]);
        }
        // The refused one was never the registry's to end.
        QCOMPARE(::waitpid(groups.last(), nullptr, WNOHANG), 0);
        ::kill(groups.last(), SIGKILL);
        ::waitpid(groups.last(), nullptr, 0);
        OfficeRegistry::clearStop();
    }

    void aStopRequestRefusesNewOffices()
    {
        OfficeWorkspace workspace(m_dir.path() + u"/workspace"_s);
        OfficeLauncher launcher;
        OfficeRegistry::requestStop();
        QVERIFY_THROWS_EXCEPTION(std::exception, LibreOfficeProcess(standIn(), QString(), workspace, launcher));
        OfficeRegistry::clearStop();
    }
};

QTEST_GUILESS_MAIN(OfficeProcessTest)
#include "tst_officeprocess.moc"
