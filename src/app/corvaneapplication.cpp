// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/corvaneapplication.h"

#include "app/windowcommandline.h"
#include "core/common/apptexts.h"
#include "core/common/filenames.h"
#include "core/common/settingsstore.h"
#include "core/services/uniformrandomsource.h"
#include "core/shell/programfolder.h"
#include "engine/cups/cupsprintersystem.h"
#include "engine/libreoffice/libreofficeengine.h"
#include "engine/libreoffice/officeregistry.h"
#include "gui/commands/commandbar.h"
#include "gui/shell/blockedwindowclose.h"
#include "gui/shell/desktopshellopen.h"
#include "gui/shell/displaycheck.h"
#include "gui/shell/form1.h"
#include "gui/shell/qtprompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <cerrno>
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
    const int savedErrno = errno;
    OfficeRegistry::requestStop();
    const char byte = char(signal);
    if (signalPipe[1] < 0 || ::write(signalPipe[1], &byte, 1) != 1)
        std::raise(signal);
    errno = savedErrno;
}

void installSignalHandlers()
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        signalPipe[0] = signalPipe[1] = -1;
    struct sigaction action = {};
    action.sa_handler = endOfficesThenClose;
    sigemptyset(&action.sa_mask);
    // The first signal asks, a second one of the same kind ends the program.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
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
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(FileNames::decode(argv[i]));
    // Answered before anything else, without a display too.
    const WindowCommandLine commandLine = WindowCommandLine::parse(arguments);
    if (commandLine.kind() != WindowCommandLine::Kind::OpenWindow) {
        const QByteArray text = commandLine.text(QStringLiteral(CORVANE_VERSION)).toLocal8Bit();
        std::fputs(text.constData(), commandLine.kind() == WindowCommandLine::Kind::Refused ? stderr : stdout);
        return commandLine.exitCode();
    }

    if (!HasDisplay()) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage(QString::fromLocal8Bit(argv[0])).toLocal8Bit().constData());
        return 1;
    }

    installSignalHandlers();
    // Qt sees only the program's name: it would take a file named, say,
    // "-reverse" after "--" for an option of its own.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setOrganizationName(QStringLiteral("Tenvara"));
    // The desktop entry's name, which sorts after the spreadsheet programs' (see the entry).
    QApplication::setDesktopFileName(QStringLiteral("tenvara-corvane"));
    // Every window of the program carries its icon, the boxes shown before
    // the main window included.
    QApplication::setWindowIcon(CommandBar::applicationIcon());

    // Watched from the start: the load sequence may hold a report open (no
    // print server, say), and a termination request must end the program
    // then too. Leaving every event loop closes such a report at once and
    // keeps any later one from waiting.
    int terminatedBy = 0;
    Form1 *window = nullptr;
    QSocketNotifier signalled(signalPipe[0], QSocketNotifier::Read);
    signalled.setEnabled(signalPipe[0] >= 0);
    QObject::connect(&signalled, &QSocketNotifier::activated, &signalled, [&] {
        char byte = 0;
        if (::read(signalPipe[0], &byte, 1) == 1 && terminatedBy == 0)
            terminatedBy = static_cast<unsigned char>(byte);
        if (window)
            window->close();
        QCoreApplication::exit(128 + terminatedBy);
    });

    QtPrompts prompts;
    DesktopShellOpen shell;
    UniformRandomSource random;
    SettingsStore settings(SettingsStore::userFolder(), [&prompts](const QString &message) {
        prompts.messageBox(message, MessageStyle::OkExclamation, AppTexts::appTitle());
    });
    CupsPrinterSystem printers(CupsPrinterSystem::defaultBoundMs, [] { return OfficeRegistry::stopRequested(); });
    LibreOfficeEngine engine(printers);
    const Form1Services services{
        prompts, shell, random, settings, engine, printers, ProgramFolder(QApplication::applicationDirPath())};

    Form1 form(services);
    window = &form;
    if (terminatedBy != 0)
        return 128 + terminatedBy;
    prompts.setParentWindow(&form);
    // A window closed during a run is hidden at once and closed when the run
    // has let go of it; Qt ends the event loop only for a visible window's close.
    QObject::connect(&form, &Form1::unloaded, &form, [] { QCoreApplication::exit(0); });
    const BlockedWindowClose closeOverABox(form, [&form] { BlockedWindowClose::closeOverBoxes(form); });
    form.show();
    // Walked from the running main loop, so that a close or a termination
    // request during a large folder's walk ends the loop, and the walk with it.
    QTimer::singleShot(0, &form, [&form, paths = StartupPaths(commandLine.paths())] { form.AppendPaths(paths); });
    const int status = QApplication::exec();
    return terminatedBy != 0 ? 128 + terminatedBy : status;
}
