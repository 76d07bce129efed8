// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// What the toolbar and the menus call: the window that owns them fills this in,
// so the commands need to know nothing of the window itself.
struct CommandOperations
{
    // A toolbar button, by its command id.
    std::function<void(int id)> execute;

    std::function<void()> addFiles;
    std::function<void()> addFolder;
    std::function<void()> clearSelectedFiles;
    std::function<void()> clearList;
    std::function<void()> exit;
    std::function<void()> showFilesTab;
    std::function<void()> showOptionsTab;
    std::function<void()> help;
    std::function<void()> loadSampleFiles;
    std::function<void()> watchDemoVideo;
    std::function<void()> openFaq;
    std::function<void()> visitMainPage;
};
