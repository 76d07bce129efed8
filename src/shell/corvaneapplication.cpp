#include "corvaneapplication.h"

#include "desktopshellopen.h"
#include "displaycheck.h"
#include "form1.h"
#include "printing/cups/cupsprintersystem.h"
#include "printing/libreoffice/libreofficeengine.h"
#include "printing/libreoffice/libreofficeprocess.h"
#include "qtprompts.h"
#include "services/uniformrandomsource.h"
#include "shell/programfolder.h"
#include "shell/settingsstore.h"

#include <QApplication>

#include <csignal>
#include <cstdio>

namespace {

// A program ended by a signal must not leave a hidden office running: end
// ours, then end as the signal would have.
void endOfficesAndDie(int signal)
{
    LibreOfficeProcess::killAllFromSignalHandler();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void installSignalHandlers()
{
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        std::signal(signal, endOfficesAndDie);
}

} // namespace

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
    SettingsStore settings(SettingsStore::userFolder());
    CupsPrinterSystem printers;
    LibreOfficeEngine engine(printers);
    const Form1Services services{prompts, shell, random, settings, engine, printers,
                                 ProgramFolder(QApplication::applicationDirPath())};

    Form1 form(services);
    prompts.setParentWindow(&form);
    form.show();
    return QApplication::exec();
}
