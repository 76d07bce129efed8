// SPDX-License-Identifier: GPL-3.0-or-later
// The machinery that keeps offices in check, with stand-in programs: how an
// office is started and ended, the time bound on calls, the registry through
// which a stop ends every office, and the answers a connection that ended
// leaves behind.
#include "core/printing/engineerror.h"
#include "engine/libreoffice/libreofficeprocess.h"
#include "engine/libreoffice/officelauncher.h"
#include "engine/libreoffice/officeregistry.h"
#include "engine/libreoffice/officeworkspace.h"
#include "engine/libreoffice/unoreplies.h"
#include "engine/libreoffice/watchdog.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <rtl/byteseq.hxx>
#include <uno/threadpool.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <future>
#include <memory>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The calling thread's id in UNO, as the office connections see it.
rtl::ByteSequence currentUnoThread()
{
    sal_Sequence *id = nullptr;
    uno_getIdOfCurrentThread(&id);
    rtl::ByteSequence thread(id);
    rtl_byte_sequence_release(id);
    uno_releaseIdFromCurrentThread();
    return thread;
}

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

// A program that stands in for the office: it says what it was given and
// does what an office's libraries do with a runtime folder.
QString writeProgram(const QString &folder, const QByteArray &body)
{
    QString path = folder + u"/soffice"_s;
    QFile program(path);
    if (!program.open(QIODevice::WriteOnly) || program.write("#!/bin/sh\n" + body) <= 0)
        return {};
    program.close();
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray outputOf(const LibreOfficeProcess &process)
{
    QFile log(process.folderPath() + u"/output.log"_s);
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

bool waitForOutput(const LibreOfficeProcess &process, const QByteArray &text)
{
    const QDeadlineTimer deadline(20000);
    while (!outputOf(process).contains(text)) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(20);
    }
    return true;
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
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
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

    void anOfficeKeepsItsRuntimeFilesInItsOwnFolder()
    {
        QTemporaryDir root;
        // A runtime folder anyone may write to: the program rejects it, so must its offices.
        const QString rejected = root.path() + u"/shared-runtime"_s;
        QVERIFY(QDir().mkpath(rejected));
        QVERIFY(::chmod(QFile::encodeName(rejected).constData(), 0777) == 0);
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(rejected));
        const QString program
            = writeProgram(root.path(),
                           "echo \"runtime=$XDG_RUNTIME_DIR\"\nmkdir -p \"$XDG_RUNTIME_DIR/dconf\" && echo state > "
                           "\"$XDG_RUNTIME_DIR/dconf/user\" && echo written\nexec sleep 60\n");
        QVERIFY(!program.isEmpty());
        OfficeWorkspace workspace(root.path() + u"/workspace"_s);
        QString folder;
        {
            OfficeLauncher launcher;
            LibreOfficeProcess process(program, QString(), workspace, launcher);
            folder = process.folderPath();
            QVERIFY2(waitForOutput(process, "written"), outputOf(process).constData());
            const QByteArray expected = "runtime=" + QFile::encodeName(folder) + "/runtime\n";
            QVERIFY2(outputOf(process).startsWith(expected), outputOf(process).constData());
            struct stat info = {};
            QCOMPARE(::lstat(QFile::encodeName(folder + u"/runtime"_s).constData(), &info), 0);
            QVERIFY(S_ISDIR(info.st_mode));
            QCOMPARE(int(info.st_mode & 0777), 0700);
            QVERIFY(QFile::exists(folder + u"/runtime/dconf/user"_s));
        }
        qputenv("XDG_RUNTIME_DIR", saved);
        QVERIFY(QDir(rejected).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
        QVERIFY(!QFile::exists(folder));
    }

    void theLastLinesAnOfficeWroteAreKeptForItsReport()
    {
        QTemporaryDir root;
        // Much output, then the lines that tell why it ended, one with a control character.
        const QString program = writeProgram(root.path(),
                                             "i=0; while [ $i -lt 400 ]; do echo \"warming up $i\"; i=$((i+1)); done\n"
                                             "for n in 1 2 3 4 5 6; do echo \"line $n\"; done\n"
                                             "printf 'bad \\033[1mprofile\\n\\n' >&2\nexit 81\n");
        QVERIFY(!program.isEmpty());
        OfficeWorkspace workspace(root.path() + u"/workspace"_s);
        OfficeLauncher launcher;
        LibreOfficeProcess process(program, QString(), workspace, launcher);
        QVERIFY(process.waitForExit(20000));
        QCOMPARE(process.outputTail(5), u"line 3\nline 4\nline 5\nline 6\nbad  [1mprofile"_s);
        QCOMPARE(process.outputTail(1), u"bad  [1mprofile"_s);
    }

    void anAnswerLeftByAnEndedConnectionNeverReachesTheNextCall()
    {
        // The connections to the other offices, which keep UNO's queues alive.
        uno_ThreadPool others = uno_threadpool_create();
        // What a connection does when its office ends between sending an
        // answer and the caller's wait for it: the wait ends at once as
        // disposed, and the answer stays queued for the calling thread.
        static int staleAnswer;
        static int answerOfOtherThread;
        static int ownAnswer;
        const rtl::ByteSequence thread = currentUnoThread();
        uno_ThreadPool ended = uno_threadpool_create();
        uno_threadpool_attach(ended);
        uno_threadpool_putJob(ended, thread.getHandle(), &staleAnswer, nullptr, false);
        uno_threadpool_dispose(ended);
        void *answerOfEnded = &ownAnswer;
        uno_threadpool_enter(ended, &answerOfEnded);
        uno_threadpool_destroy(ended);

        // Another thread's answer, in before that thread waits for it, is
        // not ours to take.
        std::promise<rtl::ByteSequence> otherThread;
        std::promise<void> waitNow;
        std::promise<void *> takenByOther;
        std::thread waiter([&] {
            uno_threadpool_attach(others);
            otherThread.set_value(currentUnoThread());
            waitNow.get_future().wait();
            void *taken = nullptr;
            uno_threadpool_enter(others, &taken);
            takenByOther.set_value(taken);
        });
        uno_threadpool_putJob(others, otherThread.get_future().get().getHandle(), &answerOfOtherThread, nullptr, false);
        const int droppedFirst = UnoReplies::dropStale();
        const int droppedAgain = UnoReplies::dropStale();
        waitNow.set_value();
        std::future<void *> taken = takenByOther.get_future();
        const bool answered = taken.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!answered)
            uno_threadpool_dispose(others);
        waiter.join();

        // This thread's next call gets its own answer.
        uno_threadpool_attach(others);
        uno_threadpool_putJob(others, thread.getHandle(), &ownAnswer, nullptr, false);
        void *answer = nullptr;
        uno_threadpool_enter(others, &answer);
        uno_threadpool_destroy(others);

        QCOMPARE(answerOfEnded, nullptr);
        QCOMPARE(droppedFirst, 1);
        QCOMPARE(droppedAgain, 0);
        QVERIFY2(answered, "the other thread's answer was taken");
        QCOMPARE(taken.get(), &answerOfOtherThread);
        QCOMPARE(answer, &ownAnswer);
    }
};

QTEST_GUILESS_MAIN(OfficeProcessTest)
#include "tst_officeprocess.moc"
