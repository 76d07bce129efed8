// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <vector>

// One PDF of a whole run (--merge-pdf): each workbook's rendering is copied
// aside as the run goes, into a hidden folder of its own beside the target,
// and merged there at the end; the result gets the target's name only when
// complete, so that an interrupted or killed run never leaves a partial file
// under it.
class MergedPdf final
{
public:
    // replace: an existing target may be replaced (--force).
    MergedPdf(QString target, bool replace);
    // Removes what it made beside the target, and only that.
    ~MergedPdf();
    MergedPdf(const MergedPdf &) = delete;
    MergedPdf &operator=(const MergedPdf &) = delete;

    // Checks that the target may be written and makes the folder of parts;
    // false with the reason in error.
    bool prepare(QString &error);

    // Copies a workbook's rendering aside, to be bookmarked as title. A copy
    // that fails is told by write().
    void add(const QString &rendered, const QString &title);

    int workbooks() const { return int(m_parts.size()); }

    // Merges the parts in the order they came into the target, a bookmark
    // for each; gives up when stopRequested says so. False with the reason.
    bool write(const std::function<bool()> &stopRequested, QString &error);

private:
    struct Part
    {
        QString path;
        QString title;
    };

    void removeMadeFiles();
    // Removes the folders of parts that killed runs left beside the target.
    static void removeAbandoned(const QString &folder);

    QString m_target;
    bool m_replace;
    QString m_folder;
    std::vector<Part> m_parts;
    QString m_copyFailure;
    QString m_merged;
    // Held on the folder of parts while it is in use, so that no other run takes it for abandoned.
    int m_lock = -1;
};
