#include "corvaneapplication.h"

#include "desktopshellopen.h"
#include "displaycheck.h"
#include "form1.h"
#include "printing/cups/cupsprintersystem.h"
#include "printing/libreoffice/libreofficeengine.h"
#include "qtprompts.h"
#include "services/uniformrandomsource.h"
#include "shell/programfolder.h"
#include "shell/settingsstore.h"

#include <QApplication>

#include <cstdio>

int RunCorvane(int &argc, char **argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s\n", NoDisplayMessage(QString::fromLocal8Bit(argv[0])).toLocal8Bit().constData());
        return 1;
    }

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
