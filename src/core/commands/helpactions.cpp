// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/commands/helpactions.h"

#include "core/commands/commandtexts.h"
#include "core/common/apptexts.h"
#include "core/common/webaddresses.h"
#include "core/filelist/filelistmodel.h"
#include "core/filelist/folderwalk.h"
#include "core/services/prompts.h"
#include "core/services/shellopen.h"

#include <QDir>

namespace HelpActions {

void Help(Prompts &prompts)
{
    prompts.messageBox(CommandTexts::contactMessage(WebAddresses::contactPage()), MessageStyle::Ok,
                       AppTexts::appTitle());
}

void LoadSampleFiles(FileListModel &list, Prompts &prompts, ShellOpen &shell, const QString &programFolder)
{
    const QString folder = AddFolder::JoinPath(programFolder, CommandTexts::samplesFolder());
    const QStringList names = AddFolder::ListFiles(folder, QStringLiteral("*.*"));
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : names)
        paths.append(AddFolder::JoinPath(folder, name));
    list.append(paths);

    const MessageAnswer answer
        = prompts.messageBox(CommandTexts::openSampleFolderQuestion(), MessageStyle::YesNo, AppTexts::appTitle());
    if (answer == MessageAnswer::Yes)
        OpenInShell(shell, prompts, folder + QLatin1Char('/'), CommandTexts::samplesFolderName());
}

void WatchDemoVideo(ShellOpen &shell, Prompts &prompts, const QString &programFolder)
{
    const QString folder = AddFolder::JoinPath(programFolder, CommandTexts::videoFolder());
    QString first;
    for (const QString &name : AddFolder::ListFiles(folder, QStringLiteral("*.*"))) {
        if (!name.startsWith(QLatin1Char('.'))) {
            first = name;
            break;
        }
    }
    OpenInShell(shell, prompts, folder + QLatin1Char('/') + first, CommandTexts::demoVideoName());
}

void OpenFaq(ShellOpen &shell, Prompts &prompts)
{
    OpenInShell(shell, prompts, WebAddresses::faqPage(), CommandTexts::faqPageName());
}

void VisitMainPage(ShellOpen &shell, Prompts &prompts)
{
    OpenInShell(shell, prompts, WebAddresses::mainPage(), CommandTexts::mainPageName());
}

void OpenInShell(ShellOpen &shell, Prompts &prompts, const QString &target, const QString &what)
{
    // The desktop may answer after this returns: only the prompts, which live
    // as long as the program, are kept for it.
    shell.open(target, [&prompts, target, what] {
        prompts.messageBox(CommandTexts::couldNotOpen(what, target), MessageStyle::OkExclamation, AppTexts::appTitle());
    });
}

} // namespace HelpActions
