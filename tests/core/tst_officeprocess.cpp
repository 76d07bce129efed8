// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/libreoffice/libreofficeprocess.h"
#include "printing/libreoffice/officeworkspace.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A program that stands in for the office: it says what it was given and
// does what an office's libraries do with a runtime folder.
QString writeProgram(const QString &folder, const QByteArray &body)
{
    const QString path = folder + u"/soffice"_s;
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

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

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
            LibreOfficeProcess process(program, QString(), workspace);
            folder = process.folderPath();
            QVERIFY2(waitForOutput(process, "written"), outputOf(process).constData());
            const QByteArray expected = "runtime=" + QFile::encodeName(folder) + "/runtime\n";
            QVERIFY2(outputOf(process).startsWith(expected), outputOf(process).constData());
            struct stat info
            {};
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
        LibreOfficeProcess process(program, QString(), workspace);
        QVERIFY(process.waitForExit(20000));
        QCOMPARE(process.outputTail(5), u"line 3\nline 4\nline 5\nline 6\nbad  [1mprofile"_s);
        QCOMPARE(process.outputTail(1), u"bad  [1mprofile"_s);
    }
};

QTEST_GUILESS_MAIN(OfficeProcessTest)
#include "tst_officeprocess.moc"
