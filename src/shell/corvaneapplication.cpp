// SPDX-License-Identifier: GPL-3.0-or-later
#include "corvaneapplication.h"

#include "common/apptexts.h"
#include "common/settingsstore.h"
#include "desktopshellopen.h"
#include "displaycheck.h"
#include "form1.h"
#include "printing/cups/cupsprintersystem.h"
#include "printing/libreoffice/libreofficeengine.h"
#include "printing/libreoffice/officeregistry.h"
#include "qtprompts.h"
#include "services/uniformrandomsource.h"
#include "shell/programfolder.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QUrl>

#include <csignal>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

// A program ended by a signal must not leave a hidden office running: ours
// end at once, and the window then closes the way the user closes it, which
// removes what the offices left. A second signal ends the program outright.
void endOfficesThenClose(int signal)
{
    OfficeRegistry::requestStop();
    std::signal(signal, SIG_DFL);
    const char byte = char(signal);
    if (signalPipe[1] < 0 || ::write(signalPipe[1], &byte, 1) != 1)
        std::raise(signal);
}

void installSignalHandlers()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        signalPipe[0] = signalPipe[1] = -1;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, endOfficesThenClose);
}

} // namespace

QStringList StartupPaths(const QStringList &arguments)
{
    QStringList paths;
    for (const QString &argument : arguments) {
        // The file manager may hand over URLs; a remote one is no path here.
        const QUrl url(argument);
        if (url.isLocalFile() && (url.host().isEmpty() || url.host() == QLatin1String("localhost")))
            paths.append(url.toLocalFile());
        else if (!argument.contains(QLatin1String("://")))
            paths.append(QFileInfo(argument).absoluteFilePath());
    }
    return paths;
}

int RunCorvane(int &argc, char **argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage(QString::fromLocal8Bit(argv[0])).toLocal8Bit().constData());
        return 1;
    }

    installSignalHandlers();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setOrganizationName(QStringLiteral("Tenvara"));
    QApplication::setDesktopFileName(QStringLiteral("corvane"));

    QtPrompts prompts;
    DesktopShellOpen shell;
    UniformRandomSource random;
    SettingsStore settings(SettingsStore::userFolder(), [&prompts](const QString &message) {
        prompts.messageBox(message, MessageStyle::OkExclamation, AppTexts::appTitle());
    });
    CupsPrinterSystem printers;
    LibreOfficeEngine engine(printers);
    const Form1Services services{
        prompts, shell, random, settings, engine, printers, ProgramFolder(QApplication::applicationDirPath())};

    Form1 form(services);
    prompts.setParentWindow(&form);
    form.show();
    form.AppendPaths(StartupPaths(QApplication::arguments().mid(1)));
    QSocketNotifier signalled(signalPipe[0], QSocketNotifier::Read);
    signalled.setEnabled(signalPipe[0] >= 0);
    QObject::connect(&signalled, &QSocketNotifier::activated, &form, [&form] {
        form.close();
        QApplication::quit();
    });
    return QApplication::exec();
}
