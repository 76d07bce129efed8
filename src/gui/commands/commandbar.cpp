// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/commands/commandbar.h"

#include "core/commands/commandids.h"
#include "core/commands/commandtexts.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include <cstdint>

namespace CommandBar {

namespace {

QFont commandFont()
{
    QFont font(QStringLiteral("Calibri"));
    font.setPointSize(11);
    return font;
}

QMenu *addMenu(QMenuBar *bar, const char *name, const QString &caption)
{
    QMenu *menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    menu->setFont(commandFont());
    return menu;
}

// The menu bar as the user reads it, top to bottom; each item names the
// operation it calls. Object names are the menus' own and stay stable.
struct MenuRow
{
    enum Kind : std::uint8_t { Menu, Item, Separator };
    Kind kind;
    const char *name;
    QString (*caption)();
    std::function<void()> CommandOperations::*operation;
};

const MenuRow menuRows[] = {
    {MenuRow::Menu, "m1", CommandTexts::fileMenu, nullptr},
    {MenuRow::Item, "m2", CommandTexts::addFilesItem, &CommandOperations::addFiles},
    {MenuRow::Item, "m3", CommandTexts::addFolderItem, &CommandOperations::addFolder},
    {MenuRow::Separator, "m4", nullptr, nullptr},
    {MenuRow::Item, "m5", CommandTexts::clearSelectedItem, &CommandOperations::clearSelectedFiles},
    {MenuRow::Item, "m6", CommandTexts::clearAllItem, &CommandOperations::clearList},
    {MenuRow::Separator, "m7", nullptr, nullptr},
    {MenuRow::Item, "m8", CommandTexts::exitItem, &CommandOperations::exit},
    {MenuRow::Menu, "m9", CommandTexts::optionsMenu, nullptr},
    {MenuRow::Item, "m10", CommandTexts::showFilesItem, &CommandOperations::showFilesTab},
    {MenuRow::Item, "m12", CommandTexts::showOptionsItem, &CommandOperations::showOptionsTab},
    {MenuRow::Menu, "m15", CommandTexts::helpMenu, nullptr},
    {MenuRow::Item, "m16", CommandTexts::helpItem, &CommandOperations::help},
    {MenuRow::Item, "m17", CommandTexts::samplesItem, &CommandOperations::loadSampleFiles},
    {MenuRow::Item, "m18", CommandTexts::videoItem, &CommandOperations::watchDemoVideo},
    {MenuRow::Separator, "m19", nullptr, nullptr},
    {MenuRow::Item, "m20", CommandTexts::faqItem, &CommandOperations::openFaq},
    {MenuRow::Item, "m21", CommandTexts::mainPageItem, &CommandOperations::visitMainPage},
};

} // namespace

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/corvane-%1.png").arg(size), QSize(size, size));
    icon.addFile(QStringLiteral(":/icons/corvane.png"), QSize(48, 48));
    return icon;
}

QToolBar *CreateStaticBar(QMainWindow &window, const CommandOperations &operations)
{
    auto *bar = new QToolBar(CommandTexts::toolbarName(), &window);
    bar->setObjectName(CommandTexts::toolbarName());
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    bar->setIconSize(QSize(48, 48));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setFont(commandFont());

    // One row per button, left to right: everything a button is but what it does,
    // which the window's CommandBars_Execute says by the button's id.
    struct Button
    {
        int id;
        const char *icon;
        QString caption;
        QString toolTip;
        QKeySequence shortcut;
    };
    const Button buttons[] = {
        {CommandIds::AddFiles,
         ":/icons/add-files.png",
         CommandTexts::addFilesButton(),
         CommandTexts::addFilesToolTip(),
         {}},
        {CommandIds::AddFolder,
         ":/icons/add-folder.png",
         CommandTexts::addFolderButton(),
         CommandTexts::addFolderToolTip(),
         {}},
        {CommandIds::ClearList,
         ":/icons/clear-list.png",
         CommandTexts::clearListButton(),
         CommandTexts::clearListToolTip(),
         {}},
        {CommandIds::StartPrinting, ":/icons/start-printing.png", CommandTexts::startPrintingButton(),
         CommandTexts::startPrintingToolTip(), QKeySequence(Qt::CTRL | Qt::Key_P)},
    };
    for (const auto &[id, icon, caption, toolTip, shortcut] : buttons) {
        QAction *action = bar->addAction(QIcon(QLatin1String(icon)), caption);
        action->setObjectName(QStringLiteral("command%1").arg(id));
        action->setData(id);
        action->setToolTip(toolTip);
        action->setShortcut(shortcut);
        // A toolbar's buttons take no focus of their own; these are the
        // window's main commands, so Tab reaches them and Space presses them.
        if (QWidget *button = bar->widgetForAction(action))
            button->setFocusPolicy(Qt::TabFocus);
        QObject::connect(action, &QAction::triggered, &window,
                         [execute = operations.execute, commandId = id] { execute(commandId); });
    }
    window.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void CreateMenus(QMainWindow &window, const CommandOperations &operations)
{
    QMenuBar *bar = window.menuBar();
    bar->setFont(commandFont());
    bar->setContextMenuPolicy(Qt::PreventContextMenu);

    QMenu *menu = nullptr;
    for (const MenuRow &row : menuRows) {
        switch (row.kind) {
        case MenuRow::Menu:
            menu = addMenu(bar, row.name, row.caption());
            break;
        case MenuRow::Separator:
            menu->addSeparator()->setObjectName(QLatin1String(row.name));
            break;
        case MenuRow::Item: {
            QAction *action = menu->addAction(row.caption());
            action->setObjectName(QLatin1String(row.name));
            QObject::connect(action, &QAction::triggered, &window, operations.*row.operation);
            break;
        }
        }
    }
}

} // namespace CommandBar
