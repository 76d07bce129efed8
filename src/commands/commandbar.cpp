// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandbar.h"

#include "commands/commandids.h"
#include "commands/commandtexts.h"
#include "shell/form1.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

namespace CommandBar {

namespace {

QFont commandFont()
{
    QFont font(QStringLiteral("Calibri"));
    font.setPointSize(11);
    return font;
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    menu->setFont(commandFont());
    return menu;
}

} // namespace

QIcon commandIcon(int id)
{
    switch (id) {
    case CommandIds::AddFiles:
        return QIcon(QStringLiteral(":/icons/add-files.png"));
    case CommandIds::AddFolder:
        return QIcon(QStringLiteral(":/icons/add-folder.png"));
    case CommandIds::StartPrinting:
        return QIcon(QStringLiteral(":/icons/start-printing.png"));
    case CommandIds::ClearList:
        return QIcon(QStringLiteral(":/icons/clear-list.png"));
    default:
        return {};
    }
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/corvane-%1.png").arg(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/icons/corvane.png"), QSize(48, 48));
    return icon;
}

QToolBar *CreateStaticBar(Form1 &form)
{
    auto *bar = new QToolBar(CommandTexts::toolbarName(), &form);
    bar->setObjectName(CommandTexts::toolbarName());
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setIconSize(QSize(48, 48));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setFont(commandFont());

    const std::pair<int, QString> buttons[] = {
        {CommandIds::AddFiles, CommandTexts::addFilesButton()},
        {CommandIds::AddFolder, CommandTexts::addFolderButton()},
        {CommandIds::ClearList, CommandTexts::clearListButton()},
        {CommandIds::StartPrinting, CommandTexts::startPrintingButton()},
    };
    for (const auto &[id, caption] : buttons) {
        QAction *action = bar->addAction(commandIcon(id), caption);
        action->setObjectName(QStringLiteral("command%1").arg(id));
        action->setData(id);
        QObject::connect(action, &QAction::triggered, &form, [&form, id] { form.CommandBars_Execute(id); });
    }
    form.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void CreateMenus(Form1 &form)
{
    QMenuBar *bar = form.menuBar();
    bar->setFont(commandFont());
    bar->setContextMenuPolicy(Qt::PreventContextMenu);

    QMenu *m1 = addMenu(bar, "m1", CommandTexts::fileMenu());
    QObject::connect(addItem(m1, "m2", CommandTexts::addFilesItem()), &QAction::triggered, &form, &Form1::AddFiles);
    QObject::connect(addItem(m1, "m3", CommandTexts::addFolderItem()), &QAction::triggered, &form,
                     &Form1::AddFolder);
    addSeparator(m1, "m4");
    QObject::connect(addItem(m1, "m5", CommandTexts::clearSelectedItem()), &QAction::triggered, &form,
                     &Form1::ClearSelectedFiles);
    QObject::connect(addItem(m1, "m6", CommandTexts::clearAllItem()), &QAction::triggered, &form,
                     &Form1::ClearList);
    addSeparator(m1, "m7");
    QObject::connect(addItem(m1, "m8", CommandTexts::exitItem()), &QAction::triggered, &form, &Form1::Unload);

    QMenu *m9 = addMenu(bar, "m9", CommandTexts::optionsMenu());
    QObject::connect(addItem(m9, "m10", CommandTexts::showFilesItem()), &QAction::triggered, &form,
                     &Form1::ShowFilesTab);
    QObject::connect(addItem(m9, "m12", CommandTexts::showOptionsItem()), &QAction::triggered, &form,
                     &Form1::ShowOptionsTab);

    QMenu *m15 = addMenu(bar, "m15", CommandTexts::helpMenu());
    QObject::connect(addItem(m15, "m16", CommandTexts::helpItem()), &QAction::triggered, &form, &Form1::Help);
    QObject::connect(addItem(m15, "m17", CommandTexts::samplesItem()), &QAction::triggered, &form,
                     &Form1::LoadSampleFiles);
    QObject::connect(addItem(m15, "m18", CommandTexts::videoItem()), &QAction::triggered, &form,
                     &Form1::WatchDemoVideo);
    addSeparator(m15, "m19");
    QObject::connect(addItem(m15, "m20", CommandTexts::faqItem()), &QAction::triggered, &form, &Form1::OpenFaq);
    QObject::connect(addItem(m15, "m21", CommandTexts::mainPageItem()), &QAction::triggered, &form,
                     &Form1::VisitMainPage);
}

} // namespace CommandBar
