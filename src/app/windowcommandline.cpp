// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/windowcommandline.h"

WindowCommandLine WindowCommandLine::parse(const QStringList &arguments)
{
    WindowCommandLine line;
    bool optionsEnded = false;
    for (const QString &argument : arguments) {
        if (optionsEnded || !argument.startsWith(QLatin1Char('-'))) {
            line.m_paths.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.m_kind = Kind::Help;
            return line;
        } else if (argument == QLatin1String("--version")) {
            line.m_kind = Kind::Version;
            return line;
        } else {
            // The first wrong option is the one named; nothing is opened.
            line.m_kind = Kind::Refused;
            line.m_refused = argument;
            return line;
        }
    }
    return line;
}

QString WindowCommandLine::text(const QString &version) const
{
    switch (m_kind) {
    case Kind::Help:
        return QStringLiteral(
            "Usage: corvane [OPTION]... [FILE|FOLDER]...\n"
            "Opens the Corvane window, which prints many spreadsheet workbooks in one run.\n"
            "The FILEs given are added to its list in order; a FOLDER adds every file of its tree.\n"
            "\n"
            "  -h, --help  show this help and exit\n"
            "  --version   show the version and exit\n"
            "  --          take every later argument as a file or folder, even one that begins with \"-\"\n"
            "\n"
            "corvane-print prints from the command line without a window.\n");
    case Kind::Version:
        return QStringLiteral("corvane ") + version + QLatin1Char('\n');
    case Kind::Refused:
        return QStringLiteral("corvane: unknown option '%1' (try 'corvane --help'; '--' ends the options)\n")
            .arg(m_refused);
    case Kind::OpenWindow:
        break;
    }
    return {};
}

int WindowCommandLine::exitCode() const
{
    return m_kind == Kind::Refused ? 2 : 0;
}
