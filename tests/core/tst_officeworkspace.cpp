// SPDX-License-Identifier: GPL-3.0-or-later
// The offices' private workspace: what its clean-up ends and removes, and
// what it must leave alone whatever is planted in it.
#include "core/printing/engineerror.h"
#include "engine/libreoffice/officefolder.h"
#include "engine/libreoffice/officeledger.h"
#include "engine/libreoffice/officepipes.h"
#include "engine/libreoffice/officeworkspace.h"
#include "engine/libreoffice/runningprocesses.h"
#include "engine/libreoffice/saferemoval.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utime.h>

using namespace Qt::StringLiterals;

namespace {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// An office folder as a program that was killed leaves it: with a ledger, no lock.
QString plantAbandonedFolder(const QString &workspace, const QString &name, const OfficeLedger &ledger)
{
    QString folder = workspace + u'/' + name;
    QDir().mkpath(folder + u"/profile/user"_s);
    writeFile(folder + u"/profile/user/registrymodifications.xcu"_s, "x");
    writeFile(folder + u"/ledger"_s, ledger.toText());
    return folder;
}

// A pid that belonged to a process that has ended.
pid_t endedPid()
{
    QProcess gone;
    gone.start(u"sleep"_s, {u"0.05"_s});
    gone.waitForStarted();
    const pid_t pid = pid_t(gone.processId());
    gone.waitForFinished();
    return pid;
}

// A listening socket at path, as an office's pipe; the caller closes it.
int listenAt(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    std::memcpy(address.sun_path, native.constData(), std::size_t(native.size()));
    // A test that cannot make its socket cannot go on.
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) != 0 || ::listen(fd, 1) != 0)
        qFatal("listening on %s: %s", native.constData(), std::strerror(errno));
    return fd;
}

bool exists(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

} // namespace

class OfficeWorkspaceTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void aLedgerReadsBackAndACutOneIsNotTrusted()
    {
        OfficeLedger ledger;
        ledger.ownerPid = 12;
        ledger.ownerStart = 345;
        ledger.officePid = 67;
        ledger.processGroup = 67;
        ledger.pipeName = u"corvane-12-abcdef"_s;
        ledger.pipes = {u"/tmp/OSL_PIPE_0_corvane-12-abcdef"_s, u"/tmp/OSL_PIPE_0_SingleOfficeIPC_1f"_s};
        const std::optional<OfficeLedger> read = OfficeLedger::fromText(ledger.toText());
        QVERIFY(read);
        const OfficeLedger back = read.value_or(OfficeLedger());
        QCOMPARE(back.ownerStart, 345u);
        QCOMPARE(back.officePid, 67);
        QCOMPARE(back.pipes, ledger.pipes);
        QCOMPARE(back.acceptArgument(), QByteArray("--accept=pipe,name=corvane-12-abcdef;urp;"));
        const QByteArray text = ledger.toText();
        QVERIFY(!OfficeLedger::fromText(text.left(text.size() - 4)));
    }

    void removalNeverFollowsALink()
    {
        QTemporaryDir root;
        const QString outside = root.path() + u"/outside"_s;
        QDir().mkpath(outside + u"/deep"_s);
        QVERIFY(writeFile(outside + u"/keep.txt"_s, "precious"));
        const QString tree = root.path() + u"/tree"_s;
        QDir().mkpath(tree + u"/a/b"_s);
        writeFile(tree + u"/a/b/file"_s, "x");
        QVERIFY(QFile::link(outside, tree + u"/a/link-to-folder"_s));
        QVERIFY(QFile::link(outside + u"/keep.txt"_s, tree + u"/link-to-file"_s));

        const int rootFd = ::open(QFile::encodeName(root.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(SafeRemoval::removeTreeAt(rootFd, "tree"));
        // A link given as the folder to remove is left alone altogether.
        QVERIFY(QFile::link(outside, root.path() + u"/link"_s));
        QVERIFY(!SafeRemoval::removeTreeAt(rootFd, "link"));
        QVERIFY(!SafeRemoval::removeTreeAt(rootFd, "../x"));
        ::close(rootFd);

        QVERIFY(!exists(tree));
        QVERIFY(exists(root.path() + u"/link"_s));
        QVERIFY(QFileInfo(outside + u"/deep"_s).isDir());
        QFile kept(outside + u"/keep.txt"_s);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("precious"));
    }

    void theWorkspaceMustBeARealFolderOfTheUsers()
    {
        QTemporaryDir root;
        const QString target = root.path() + u"/elsewhere"_s;
        QDir().mkpath(target);
        QVERIFY(QFile::link(target, root.path() + u"/link"_s));
        QVERIFY_THROWS_EXCEPTION(EngineError, OfficeWorkspace(root.path() + u"/link"_s));

        const QString open = root.path() + u"/open"_s;
        QDir().mkpath(open);
        ::chmod(QFile::encodeName(open).constData(), 0777);
        OfficeWorkspace workspace(open);
        struct stat info = {};
        ::stat(QFile::encodeName(open).constData(), &info);
        QCOMPARE(int(info.st_mode & 0777), 0700);
    }

    void anOfficeFolderIsLockedWhileInUseAndGoneAfter()
    {
        QTemporaryDir root;
        OfficeWorkspace workspace(root.path() + u"/ws"_s);
        QString path;
        {
            const std::unique_ptr<OfficeFolder> folder = workspace.createOfficeFolder();
            path = folder->path();
            QVERIFY(folder->name().startsWith(u"office-%1-"_s.arg(::getpid())));
            QDir().mkpath(path + u"/profile"_s);
            // A second program's clean-up sees the lock and leaves the folder alone.
            OfficeWorkspace other(root.path() + u"/ws"_s);
            other.removeAbandoned();
            QVERIFY(QFileInfo(path + u"/profile"_s).isDir());
        }
        QVERIFY(!exists(path));
    }

    void theCleanUpEndsOrphanedOfficesAndRemovesOnlyWhatTheyLeft()
    {
        QTemporaryDir root;
        const QString ws = root.path() + u"/ws"_s;
        OfficeWorkspace workspace(ws);
        const QString outside = root.path() + u"/outside"_s;
        QDir().mkpath(outside);
        writeFile(outside + u"/keep.txt"_s, "precious");

        // An orphaned office: still running, its owner gone.
        OfficeLedger orphan;
        orphan.ownerPid = endedPid();
        orphan.ownerStart = 1;
        orphan.pipeName = u"corvane-test-%1-orphan"_s.arg(::getpid());
        const QString orphanPipe = OfficePipes::pathFor(orphan.pipeName);
        const QString usersPipe = OfficePipes::pathFor(u"SingleOfficeIPC_test%1"_s.arg(::getpid()));
        orphan.pipes = {orphanPipe};
        const int orphanFd = listenAt(orphanPipe);
        const int usersFd = listenAt(usersPipe);
        ::close(orphanFd); // killed offices leave their pipes behind
        QProcess office;
        office.start(u"/bin/sh"_s, {u"-c"_s, u"sleep 30; true"_s, QString::fromUtf8(orphan.acceptArgument())});
        QVERIFY(office.waitForStarted());
        QTRY_VERIFY(!RunningProcesses::ofThisUserWithArgument(orphan.acceptArgument()).isEmpty());
        const QString orphanFolder = plantAbandonedFolder(ws, u"office-1-orphan"_s, orphan);

        // A live owner without its lock, known by pid and start time.
        OfficeLedger live;
        live.ownerPid = ::getpid();
        live.ownerStart = RunningProcesses::startTimeOf(::getpid());
        live.pipeName = u"corvane-live"_s;
        const QString liveFolder = plantAbandonedFolder(ws, u"office-2-live"_s, live);

        // A folder just made, its ledger not yet written; and an old one that never got one.
        const QString young = ws + u"/office-3-young"_s;
        QDir().mkpath(young);
        const QString old = ws + u"/office-4-old"_s;
        QDir().mkpath(old + u"/tmp"_s);
        const utimbuf longAgo{::time(nullptr) - 3600, ::time(nullptr) - 3600};
        ::utime(QFile::encodeName(old).constData(), &longAgo);

        // Planted: links named like office folders, and a stranger's file.
        QVERIFY(QFile::link(outside, ws + u"/office-5-link"_s));
        QVERIFY(QFile::link(outside, old + u"/tmp/link"_s));
        writeFile(ws + u"/notes.txt"_s, "mine");

        workspace.removeAbandoned();

        QVERIFY(office.waitForFinished(5000)); // ended by the clean-up
        QVERIFY(!exists(orphanFolder));
        QVERIFY(!exists(orphanPipe));
        QVERIFY(exists(usersPipe)); // never named in a ledger: not ours
        QVERIFY(exists(liveFolder));
        QVERIFY(exists(young));
        QVERIFY(!exists(old));
        QVERIFY(exists(ws + u"/office-5-link"_s));
        QVERIFY(exists(ws + u"/notes.txt"_s));
        QVERIFY(QFileInfo(outside + u"/keep.txt"_s).size() == 8);
        ::close(usersFd);
        ::unlink(QFile::encodeName(usersPipe).constData());
    }

    void aPipeOutsideLibreOfficesFolderIsNeverRemoved()
    {
        QTemporaryDir root;
        const QString socket = root.path() + u"/OSL_PIPE_%1_corvane-x"_s.arg(::getuid());
        const int fd = listenAt(socket);
        QVERIFY(!SafeRemoval::removeOfficePipe(socket));
        QVERIFY(exists(socket));
        ::close(fd);
        const QString file = u"/tmp/OSL_PIPE_%1_corvane-not-a-socket-%2"_s.arg(::getuid()).arg(::getpid());
        writeFile(file, "x");
        QVERIFY(!SafeRemoval::removeOfficePipe(file));
        QVERIFY(exists(file));
        QFile::remove(file);
    }
};

QTEST_GUILESS_MAIN(OfficeWorkspaceTest)
#include "tst_officeworkspace.moc"
