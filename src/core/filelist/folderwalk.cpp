// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/filelist/folderwalk.h"

#include "core/common/filenames.h"

#include <algorithm>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AddFolder {

namespace {

constexpr int namesPerYield = 256;

using FolderId = std::pair<dev_t, ino_t>;

struct Name
{
    QString folded;
    QString text;
};

struct Listing
{
    std::vector<Name> folders; // with their ids in folderIds, same order
    std::vector<FolderId> folderIds;
    std::vector<Name> files;
};

bool sameFolder(const struct stat &st, FolderId &id)
{
    id = {st.st_dev, st.st_ino};
    return S_ISDIR(st.st_mode);
}

// Case ignored first; names that differ only in case keep one order.
bool comesBefore(const Name &a, const Name &b)
{
    if (const int c = a.folded.compare(b.folded); c != 0)
        return c < 0;
    return a.text < b.text;
}

void sortByName(std::vector<Name> &names)
{
    std::sort(names.begin(), names.end(), comesBefore);
}

// Reads one folder once. Returns false when it cannot be opened.
bool readFolder(const QString &folder, bool wantFolders, bool wantFiles, Listing &out, const Yield &yield)
{
    const int fd = ::open(FileNames::encode(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Closed on every way out: the yield may throw to abandon the walk.
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::fdopendir(fd), &::closedir);
    if (!dir) {
        ::close(fd);
        return false;
    }

    std::vector<std::pair<Name, FolderId>> folders;
    int seen = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        if (yield && ++seen % namesPerYield == 0)
            yield();
        const char *raw = entry->d_name;
        if (raw[0] == '.' && (raw[1] == '\0' || (raw[1] == '.' && raw[2] == '\0')))
            continue;

        if (entry->d_type == DT_DIR && (raw[0] == '.' || !wantFolders))
            continue;
        bool isFolder = entry->d_type == DT_DIR;
        bool isFile = entry->d_type == DT_REG;
        FolderId id{};
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN || (isFolder && wantFolders)) {
            // Links are judged by what they point to; folders need their identity.
            struct stat st = {};
            if (::fstatat(fd, raw, &st, 0) != 0)
                continue;
            isFolder = sameFolder(st, id);
            isFile = S_ISREG(st.st_mode);
        }

        if (isFolder && wantFolders && raw[0] != '.') {
            QString text = FileNames::decode(raw);
            folders.push_back({{text.toCaseFolded(), text}, id});
        } else if (isFile && wantFiles) {
            QString text = FileNames::decode(raw);
            out.files.push_back({text.toCaseFolded(), std::move(text)});
        }
    }

    std::sort(folders.begin(), folders.end(),
              [](const auto &a, const auto &b) { return comesBefore(a.first, b.first); });
    for (auto &[name, id] : folders) {
        out.folders.push_back(std::move(name));
        out.folderIds.push_back(id);
    }
    sortByName(out.files);
    return true;
}

bool folderIdOf(const QString &folder, FolderId &id)
{
    struct stat st = {};
    if (::stat(FileNames::encode(folder).constData(), &st) != 0)
        return false;
    return sameFolder(st, id);
}

QString asFolderEntry(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Both arguments already case-folded. Only the pattern has wildcards: a
// name is data, whatever characters it holds, so a "*" in the pattern is
// always a wildcard, even where the name has a "*" too.
bool matchFolded(QStringView pattern, QStringView name)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

class Matcher
{
public:
    explicit Matcher(const QString &pattern)
        : m_all(pattern == QLatin1String("*.*") || pattern == QLatin1String("*"))
        , m_folded(pattern.toCaseFolded())
    {}
    bool operator()(const QString &foldedName) const { return m_all || matchFolded(m_folded, foldedName); }

private:
    bool m_all;
    QString m_folded;
};

} // namespace

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

void CollectSubfolders(QStringList &folderList, bool recurse, const Yield &yield)
{
    std::set<FolderId> visited;
    for (const QString &folder : std::as_const(folderList)) {
        FolderId id{};
        if (folderIdOf(folder, id))
            visited.insert(id);
    }

    QStringList level = folderList;
    do {
        QStringList below;
        for (const QString &parent : std::as_const(level)) {
            if (yield)
                yield();
            Listing listing;
            if (!readFolder(parent, true, false, listing, yield))
                continue;
            for (std::size_t i = 0; i < listing.folders.size(); ++i) {
                if (visited.insert(listing.folderIds[i]).second)
                    below.append(asFolderEntry(JoinPath(parent, listing.folders[i].text)));
            }
        }
        for (const QString &folder : std::as_const(below)) {
            if (yield)
                yield();
            folderList.append(folder);
        }
        level = std::move(below);
    } while (recurse && !level.isEmpty());
}

QStringList ListFiles(const QString &folder, const QString &pattern)
{
    Listing listing;
    if (!readFolder(folder, false, true, listing, {}))
        return {};
    const Matcher matches(pattern);
    QStringList names;
    for (const Name &name : listing.files) {
        if (matches(name.folded))
            names.append(name.text);
    }
    return names;
}

QStringList CollectFiles(const QString &folder, const QString &pattern, const Yield &yield)
{
    const Matcher matches(pattern);
    QStringList paths;
    std::set<FolderId> visited;
    std::vector<QString> queue{asFolderEntry(folder)};
    FolderId rootId{};
    if (folderIdOf(folder, rootId))
        visited.insert(rootId);

    // Visiting folders in queue order, children appended behind, is the same
    // order as collecting every folder first and listing them afterwards.
    for (std::size_t next = 0; next < queue.size(); ++next) {
        if (yield)
            yield();
        const QString current = queue[next];
        Listing listing;
        if (!readFolder(current, true, true, listing, yield))
            continue;
        for (std::size_t i = 0; i < listing.folders.size(); ++i) {
            if (visited.insert(listing.folderIds[i]).second)
                queue.push_back(current + listing.folders[i].text + QLatin1Char('/'));
        }
        for (const Name &name : listing.files) {
            if (!name.text.startsWith(QLatin1Char('~')) && matches(name.folded))
                paths.append(current + name.text);
        }
    }
    return paths;
}

} // namespace AddFolder
