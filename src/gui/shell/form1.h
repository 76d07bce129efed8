// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/common/resizerule.h"
#include "gui/commands/commandoperations.h"
#include "gui/shell/form1services.h"

#include <QMainWindow>

#include <memory>

class FileListCommands;
class FileListModel;
class FileListView;
class OptionsPage;
class QProgressBar;
class TabControl;

// The main window: the file list on the "Files" tab, printer and print
// options on the "Options" tab, the progress bar, toolbar and menus.
class Form1 final : public QMainWindow
{
    Q_OBJECT

public:
    // Runs the whole load sequence; the caller shows the window afterwards.
    explicit Form1(const Form1Services &services, QWidget *parent = nullptr);
    ~Form1() override;

    FileListModel &fileList() const;
    const LayoutGeometry &layoutGeometry() const;

    OptionsPage &optionsPage() const;
    QProgressBar &progressBar() const;

    void setBusyPointer(bool busy);
    bool isBusyPointer() const;
    // Whether the window has been asked to close while a print run goes on.
    bool isClosing() const;

public Q_SLOTS:
    void AddFiles();
    // Files and folders handed to the program at start (by the file manager,
    // or on the command line), appended in the given order as a drop would.
    void AppendPaths(const QStringList &paths);
    void AddFolder();
    void ClearList();
    void ClearSelectedFiles();
    void Start();
    void Help();
    void CreateStaticBar();
    void listPrinters();
    void CommandBars_Execute(int id);
    void LoadSampleFiles();
    void WatchDemoVideo();
    void OpenFaq();
    void VisitMainPage();
    void ShowFilesTab();
    void ShowOptionsTab();
    // The unload routine: saves the placement and ends the program.
    void Unload();

Q_SIGNALS:
    // The window has closed for good: the program is to end.
    void unloaded();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    CommandOperations commandOperations();
    void applyLayout();
    void placeControls();
    void restoreSelectedTab();
    void TabControl1_SelectedChanged(int index);
    void Combo1_Click();
    void resetPointerUnlessBusy();

    Form1Services m_services;
    LayoutGeometry m_layout = LayoutGeometry::design();
    bool m_unloaded = false;
    bool m_printing = false;
    bool m_closeRequested = false;
    bool m_stopAfterCurrent = false;

    TabControl *TabControl1 = nullptr;
    FileListModel *m_fileList = nullptr;
    FileListView *ListView1 = nullptr;
    OptionsPage *m_optionsPage = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    std::unique_ptr<FileListCommands> m_fileListCommands;
};
