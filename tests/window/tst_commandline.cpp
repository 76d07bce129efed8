// SPDX-License-Identifier: GPL-3.0-or-later
// The window's command line: options answered without a window, paths kept.
#include "app/corvaneapplication.h"
#include "app/windowcommandline.h"

#include <QDir>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The real program, without a display: the options are answered before one is needed.
Run corvane(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"DISPLAY"_s);
    env.remove(u"WAYLAND_DISPLAY"_s);
    env.remove(u"QT_QPA_PLATFORM"_s);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(CORVANE_BINARY), arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

} // namespace

class CommandLineTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void helpAndVersionAreAnsweredAndEndTheProgram()
    {
        const Run help = corvane({u"--help"_s});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith(u"Usage: corvane "_s));
        QVERIFY(help.out.contains(u"--version"_s));
        QCOMPARE(help.err, QString());
        QCOMPARE(corvane({u"-h"_s}).out, help.out);
        // Whatever else is given, the help is all that happens.
        QCOMPARE(corvane({u"/some/book.xlsx"_s, u"--help"_s}).exitCode, 0);

        const Run version = corvane({u"--version"_s});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.startsWith(u"corvane "_s) && version.out.endsWith(u"\n"_s), qPrintable(version.out));
        QCOMPARE(version.out.count(u'\n'), 1);
        QVERIFY(version.out.at(8).isDigit());
    }

    void anyOtherOptionIsRefusedOnOneLineNamingIt()
    {
        for (const QString &option : {u"--bogus"_s, u"-x"_s, u"-"_s, u"--help=yes"_s}) {
            const Run run = corvane({u"/some/book.xlsx"_s, option});
            QCOMPARE(run.exitCode, 2);
            QCOMPARE(run.out, QString());
            QCOMPARE(run.err.count(u'\n'), 1);
            QVERIFY2(run.err.contains(u"'"_s + option + u"'"_s), qPrintable(run.err));
        }
    }

    void pathsStayInOrderAndDoubleDashEndsTheOptions()
    {
        WindowCommandLine line = WindowCommandLine::parse({u"a.xlsx"_s, u"--"_s, u"-name.xlsx"_s, u"--help"_s});
        QCOMPARE(line.kind(), WindowCommandLine::Kind::OpenWindow);
        QCOMPARE(line.paths(), (QStringList{u"a.xlsx"_s, u"-name.xlsx"_s, u"--help"_s}));
        QCOMPARE(StartupPaths(line.paths()),
                 (QStringList{QDir::current().absoluteFilePath(u"a.xlsx"_s),
                              QDir::current().absoluteFilePath(u"-name.xlsx"_s),
                              QDir::current().absoluteFilePath(u"--help"_s)}));

        line = WindowCommandLine::parse({});
        QCOMPARE(line.kind(), WindowCommandLine::Kind::OpenWindow);
        QVERIFY(line.paths().isEmpty());

        line = WindowCommandLine::parse({u"--"_s, u"--"_s});
        QCOMPARE(line.paths(), QStringList{u"--"_s});

        line = WindowCommandLine::parse({u"--bogus"_s, u"--help"_s});
        QCOMPARE(line.kind(), WindowCommandLine::Kind::Refused);
        QCOMPARE(line.refused(), u"--bogus"_s);
        QCOMPARE(line.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
