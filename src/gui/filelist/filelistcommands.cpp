// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/filelist/filelistcommands.h"

#include "core/common/apptexts.h"
#include "core/filelist/filelistmodel.h"
#include "core/filelist/filelisttexts.h"
#include "core/services/prompts.h"
#include "gui/filelist/walkabandoned.h"

#include <QFileInfo>

FileListCommands::FileListCommands(FileListModel &list, Prompts &prompts, BusyPointer busy, AddFolder::Yield yield)
    : m_list(list)
    , m_prompts(prompts)
    , m_busy(std::move(busy))
    , m_yield(std::move(yield))
{}

void FileListCommands::AddFiles()
{
    const QStringList chosen = m_prompts.openFiles(FileListTexts::addFilesTitle(), FileListTexts::addFilesFilter());
    m_list.append(chosen);
}

void FileListCommands::AddFolder()
{
    // The extension is used exactly as typed: "*" means every file.
    const QString extension
        = m_prompts.inputBox(FileListTexts::extensionPrompt(), AppTexts::appTitle(), FileListTexts::defaultExtension());
    if (extension.isEmpty())
        return;
    const QString folder = m_prompts.browseForFolder(FileListTexts::browseTitle());
    if (folder.isEmpty())
        return;

    m_busy(true);
    try {
        m_list.append(AddFolder::CollectFiles(folder, QStringLiteral("*.") + extension, m_yield));
    } catch (const WalkAbandoned &) {
        // The window has closed: nothing more is added.
    }
    m_busy(false);
}

void FileListCommands::DropPaths(const QStringList &paths)
{
    try {
        for (const QString &path : paths) {
            if (QFileInfo(path).isDir())
                m_list.append(AddFolder::CollectFiles(path, QStringLiteral("*.*"), m_yield));
            else
                m_list.append(path);
        }
    } catch (const WalkAbandoned &) {
        // The window has closed: the rest of the paths are not added.
    }
}
