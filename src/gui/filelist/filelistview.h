// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QTimer>
#include <QTreeView>

#include <functional>
#include <vector>

// The file list on screen: one column of paths. Delete (with any modifiers)
// and a double-click remove the current entry; Ctrl+Up and Ctrl+Down move it
// one row, as a drag over the neighbouring row does; files and folders dragged in
// from a file manager are handed on through pathsDropped; pressing on an
// entry and moving the pointer carries its path up or down the list.
//
// Reordering swaps the texts of the entry being dragged and the entry under
// the pointer at each move, so crossing one row per move shifts the rows in
// between, while a jump over several rows trades the two paths. Only a row
// the pointer is over on screen takes part. Held beyond the top or bottom
// edge, the pointer counts as over the nearest whole row at that edge: the
// list scrolls, and the dragged path moves with that row, one row at a time,
// so the rows it passes keep their order and the path stays in sight.
class FileListView final : public QTreeView
{
    Q_OBJECT

public:
    // programFolder: where the drag pointer "drag.ico" is looked for.
    explicit FileListView(const QString &programFolder, QWidget *parent = nullptr);

    // One flag per entry: whether it is selected.
    std::vector<bool> selectedFlags() const;

    // Removes the current entry, if there is one; the next one becomes current.
    void removeCurrent();
    // Moves the current entry one row up (-1) or down (1), keeping it current.
    void moveCurrent(int step);

    // Where the pointer is on the screen, in pixels; the auto-scroll reads it.
    void setCursorPositionSource(std::function<QPoint()> source);

    // Screen rows above and below which a swap scrolls the neighbouring entry into view.
    static constexpr int scrollUpBelowY = 305;
    static constexpr int scrollDownBeyondY = 364;
    // How often the list scrolls a row while a drag is held beyond its edge.
    static constexpr int edgeScrollIntervalMs = 60;

Q_SIGNALS:
    void pathsDropped(const QStringList &paths);
    void mouseMoved();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void itemClick();
    // The row under a point of the viewport, or -1: rows scrolled out of view are never under the pointer.
    int hitTest(QPoint pos) const;
    // The whole row nearest the edge the pointer is held beyond, or -1.
    int edgeRow() const;
    // Moves the dragged path to row by swaps with each neighbour on the way.
    void carryTo(int row);
    void followEdge(QPoint pos);
    void scrollTowardsEdge();
    QString rowText(int row) const;
    void setRowText(int row, const QString &text);

    QCursor m_dragCursor;
    bool m_hasDragCursor = false;
    std::function<QPoint()> m_cursorPosition;
    QTimer m_edgeScroll;
    int m_edgeDirection = 0; // -1 above the list, 1 below it, 0 inside

    bool mouseDown = false;
    int dragItem = -1; // row whose text is the dragged path
};
