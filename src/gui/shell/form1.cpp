// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/shell/form1.h"

#include "core/commands/commandids.h"
#include "core/commands/helpactions.h"
#include "core/common/apptexts.h"
#include "core/common/designlayout.h"
#include "core/common/settingsstore.h"
#include "core/common/twips.h"
#include "core/filelist/filelistmodel.h"
#include "core/printing/printingtexts.h"
#include "core/printing/printrun.h"
#include "core/printing/spreadsheetengine.h"
#include "core/services/prompts.h"
#include "core/shell/globals.h"
#include "core/shell/isinstalled.h"
#include "core/shell/shelltexts.h"
#include "gui/commands/commandbar.h"
#include "gui/filelist/filelistcommands.h"
#include "gui/filelist/filelistview.h"
#include "gui/filelist/timeslicedyield.h"
#include "gui/printing/designlook.h"
#include "gui/printing/inputblocker.h"
#include "gui/printing/optionspage.h"
#include "gui/printing/printerselection.h"
#include "gui/printing/responsivesteprunner.h"
#include "gui/printing/windowprintrunview.h"
#include "gui/shell/formglobals.h"
#include "gui/shell/tabcontrol.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QProgressBar>

namespace {

int px(double twips)
{
    return Twips::toPixels(twips);
}

} // namespace

Form1::Form1(const Form1Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
{
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    CommandBar::CreateMenus(*this, commandOperations());

    Globals::ApplySkin(*this, m_services.programFolder);
    resize(px(DesignLayout::clientWidth), px(DesignLayout::clientHeight));
    Globals::CenterForm(*this);
    Globals::OpenMainPageOccasionally(m_services.random, m_services.shell);
    setWindowTitle(AppTexts::appTitle());
    setWindowIcon(CommandBar::applicationIcon());
    m_layout.columnWidth = float(DesignLayout::listColumnAtLoad);
    ListView1->header()->resizeSection(0, px(m_layout.columnWidth));
    listPrinters();
    CreateStaticBar();
    restoreSelectedTab();
    IsInstalled::CheckExcelInstalled(m_services.engine, m_services.prompts);
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    DesignLook::makeWhite(*this, true);
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    TabControl1 = new TabControl(client);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setFont(DesignLook::font(false));

    auto *filesPage = new QWidget;
    filesPage->setObjectName(QStringLiteral("filesPage"));
    m_fileList = new FileListModel(this);
    ListView1 = new FileListView(m_services.programFolder, filesPage);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setModel(m_fileList);
    ListView1->setFont(DesignLook::font(true));
    TabControl1->addTab(filesPage, ShellTexts::filesTab());

    m_optionsPage = new OptionsPage(DesignLook::font(true));
    m_optionsPage->setObjectName(QStringLiteral("optionsPage"));
    TabControl1->addTab(m_optionsPage, ShellTexts::optionsTab());

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFont(DesignLook::font(true));

    m_fileListCommands = std::make_unique<FileListCommands>(
        *m_fileList, m_services.prompts, [this](bool busy) { setBusyPointer(busy); },
        TimeSlicedYield::make([this] { return m_unloaded; }));

    connect(TabControl1, &QTabWidget::currentChanged, this, &Form1::TabControl1_SelectedChanged);
    connect(ListView1, &FileListView::pathsDropped, this,
            [this](const QStringList &paths) { m_fileListCommands->DropPaths(paths); });
    connect(ListView1, &FileListView::mouseMoved, this, &Form1::resetPointerUnlessBusy);
    // Only a pick by the user is stored; selections made at start are not.
    connect(m_optionsPage->printerBox(), &QComboBox::activated, this, &Form1::Combo1_Click);
}

FileListModel &Form1::fileList() const
{
    return *m_fileList;
}

const LayoutGeometry &Form1::layoutGeometry() const
{
    return m_layout;
}

OptionsPage &Form1::optionsPage() const
{
    return *m_optionsPage;
}

QProgressBar &Form1::progressBar() const
{
    return *ProgressBar1;
}

bool Form1::isClosing() const
{
    return m_closeRequested;
}

void Form1::setBusyPointer(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

bool Form1::isBusyPointer() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::WaitCursor;
}

void Form1::resetPointerUnlessBusy()
{
    if (!isBusyPointer())
        unsetCursor();
}

void Form1::AddFiles()
{
    m_fileListCommands->AddFiles();
}

void Form1::AppendPaths(const QStringList &paths)
{
    m_fileListCommands->DropPaths(paths);
}

void Form1::AddFolder()
{
    m_fileListCommands->AddFolder();
}

void Form1::ClearList()
{
    m_fileList->clear();
}

void Form1::ClearSelectedFiles()
{
    m_fileList->removeFlagged(ListView1->selectedFlags());
}

void Form1::Start()
{
    if (m_printing)
        return;
    m_printing = true;
    m_stopAfterCurrent = false;
    {
        // Escape asks the run to stop once the workbook under way is done.
        const InputBlocker blocker(*this, [this] { m_stopAfterCurrent = true; });
        WindowPrintRunView view(
            *m_fileList, *m_optionsPage, *ProgressBar1, [this](bool busy) { setBusyPointer(busy); },
            [this] { return m_closeRequested; }, [this] { return m_stopAfterCurrent; });
        ResponsiveStepRunner runner;
        PrintRun run(m_services.engine, m_services.prompts, view, runner);
        run.Start();
        if (run.summary().stopped && !m_closeRequested)
            m_services.prompts.messageBox(PrintingTexts::stoppedAfter(run.summary().workbooks, m_fileList->count()),
                                          MessageStyle::Ok, AppTexts::appTitle());
    }
    m_printing = false;
    if (m_closeRequested)
        close();
}

void Form1::Help()
{
    HelpActions::Help(m_services.prompts);
}

void Form1::LoadSampleFiles()
{
    HelpActions::LoadSampleFiles(*m_fileList, m_services.prompts, m_services.shell, m_services.programFolder);
}

void Form1::WatchDemoVideo()
{
    HelpActions::WatchDemoVideo(m_services.shell, m_services.prompts, m_services.programFolder);
}

void Form1::OpenFaq()
{
    HelpActions::OpenFaq(m_services.shell, m_services.prompts);
}

void Form1::VisitMainPage()
{
    HelpActions::VisitMainPage(m_services.shell, m_services.prompts);
}

void Form1::CreateStaticBar()
{
    CommandBar::CreateStaticBar(*this, commandOperations());
}

void Form1::listPrinters()
{
    PrinterSelection::listPrinters(*m_optionsPage->printerBox(), m_services.printers, m_services.settings,
                                   m_services.prompts);
}

void Form1::Combo1_Click()
{
    PrinterSelection::Combo1_Click(*m_optionsPage->printerBox(), m_services.settings);
}

CommandOperations Form1::commandOperations()
{
    CommandOperations operations;
    operations.execute = [this](int id) { CommandBars_Execute(id); };
    operations.addFiles = [this] { AddFiles(); };
    operations.addFolder = [this] { AddFolder(); };
    operations.clearSelectedFiles = [this] { ClearSelectedFiles(); };
    operations.clearList = [this] { ClearList(); };
    operations.exit = [this] { Unload(); };
    operations.showFilesTab = [this] { ShowFilesTab(); };
    operations.showOptionsTab = [this] { ShowOptionsTab(); };
    operations.help = [this] { Help(); };
    operations.loadSampleFiles = [this] { LoadSampleFiles(); };
    operations.watchDemoVideo = [this] { WatchDemoVideo(); };
    operations.openFaq = [this] { OpenFaq(); };
    operations.visitMainPage = [this] { VisitMainPage(); };
    return operations;
}

void Form1::CommandBars_Execute(int id)
{
    switch (id) {
    case CommandIds::AddFiles:
        AddFiles();
        break;
    case CommandIds::AddFolder:
        AddFolder();
        break;
    case CommandIds::StartPrinting:
        Start();
        break;
    case CommandIds::ClearList:
        ClearList();
        break;
    default:
        break;
    }
}

void Form1::ShowFilesTab()
{
    TabControl1->setCurrentIndex(0);
}

void Form1::ShowOptionsTab()
{
    TabControl1->setCurrentIndex(1);
}

void Form1::Unload()
{
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Globals::SaveWindowPlacement(*this, m_services.settings);
    }
    if (m_printing) {
        // Closing ends the program at once: the office goes now (it spools a
        // job only once it has finished printing, so nothing half prints),
        // the run ends without another report, and the window closes as soon
        // as the run has let go of it.
        m_closeRequested = true;
        m_services.engine.stopNow();
        hide();
        event->ignore();
        return;
    }
    event->accept();
    Q_EMIT unloaded();
}

void Form1::restoreSelectedTab()
{
    const QString stored = m_services.settings.GetSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(),
                                                          ShellTexts::keyTab(), QStringLiteral("0"));
    bool isNumber = false;
    const int index = stored.trimmed().toInt(&isNumber);
    // The program only ever writes "0" or "1"; anything else opens on "Files".
    TabControl1->setCurrentIndex(isNumber && index >= 0 && index < TabControl1->count() ? index : 0);
}

void Form1::TabControl1_SelectedChanged(int index)
{
    m_services.settings.SaveSetting(AppTexts::settingsApplication(), AppTexts::settingsSection(), ShellTexts::keyTab(),
                                    QString::number(index));
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayout();
}

void Form1::applyLayout()
{
    if (isMinimized())
        return;
    m_layout = applyResizeRule(m_layout, float(Twips::fromPixels(width())), float(Twips::fromPixels(height())), false);
    placeControls();
}

void Form1::placeControls()
{
    namespace D = DesignLayout;
    // Geometry is designed against the whole client area, command bars
    // included; the controls live below them, in the central widget.
    const QPoint client = centralWidget()->pos();
    TabControl1->setGeometry(px(D::TabControl1.left) - client.x(), px(D::TabControl1.top) - client.y(),
                             px(m_layout.tabWidth), px(m_layout.tabHeight));
    ProgressBar1->setGeometry(px(D::ProgressBar1.left) - client.x(), px(m_layout.progressTop) - client.y(),
                              px(m_layout.progressWidth), px(D::ProgressBar1.height));

    const QPoint page = TabControl1->pageOrigin();
    ListView1->setGeometry(px(D::ListView1.left) - page.x(), px(D::ListView1.top) - page.y(), px(m_layout.listWidth),
                           px(m_layout.listHeight));
    ListView1->header()->resizeSection(0, px(m_layout.columnWidth));
    m_optionsPage->place(m_layout, page);
}
