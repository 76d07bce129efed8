// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/filelist/filelistview.h"

#include "core/filelist/filelisttexts.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPixmap>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>

namespace {

// Only lists of local files are taken; text, web addresses and the like are refused.
QStringList localFiles(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    QStringList paths;
    const auto urls = data->urls();
    for (const QUrl &url : urls) {
        // file://otherhost/... names a file on another machine; it would turn
        // into a path that means something else here.
        const bool thisHost = url.host().isEmpty() || url.host() == QLatin1String("localhost");
        if (!url.isLocalFile() || !thisHost)
            return {};
        paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

FileListView::FileListView(const QString &programFolder, QWidget *parent)
    : QTreeView(parent)
    , m_cursorPosition([] { return QCursor::pos(); })
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    // A path too long for the column loses its middle, not the file name.
    setTextElideMode(Qt::ElideMiddle);
    setToolTip(FileListTexts::toolTip());
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);

    m_edgeScroll.setInterval(edgeScrollIntervalMs);
    connect(&m_edgeScroll, &QTimer::timeout, this, &FileListView::scrollTowardsEdge);
    // Whatever scrolls the list while the pointer is held beyond its edge
    // (the edge timer, a swap's scroll, the wheel), the dragged path keeps to
    // the row at that edge, so it never drops out of sight.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (mouseDown && m_edgeDirection != 0)
            carryTo(edgeRow());
    });

    const QPixmap picture(QDir(programFolder).filePath(QStringLiteral("drag.ico")));
    if (!picture.isNull()) {
        m_dragCursor = QCursor(picture);
        m_hasDragCursor = true;
    }
}

void FileListView::setCursorPositionSource(std::function<QPoint()> source)
{
    m_cursorPosition = std::move(source);
}

std::vector<bool> FileListView::selectedFlags() const
{
    std::vector<bool> flags(model() ? std::size_t(model()->rowCount()) : 0, false);
    if (!selectionModel())
        return flags;
    const QItemSelection selection = selectionModel()->selection();
    for (const QItemSelectionRange &range : selection) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (row >= 0 && std::size_t(row) < flags.size())
                flags[std::size_t(row)] = true;
        }
    }
    return flags;
}

void FileListView::removeCurrent()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model())
        return;
    const int row = current.row();
    model()->removeRow(row);
    // The entry that took the removed one's place becomes current (the new
    // last one when the last went), so that Delete goes on down the list.
    const int count = model()->rowCount();
    if (count > 0)
        selectionModel()->setCurrentIndex(model()->index(std::min(row, count - 1), 0),
                                          QItemSelectionModel::ClearAndSelect);
}

void FileListView::moveCurrent(int step)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model())
        return;
    const int from = current.row();
    const int to = from + step;
    if (to < 0 || to >= model()->rowCount())
        return;
    const QString moved = rowText(from);
    setRowText(from, rowText(to));
    setRowText(to, moved);
    selectionModel()->setCurrentIndex(model()->index(to, 0), QItemSelectionModel::ClearAndSelect);
    scrollTo(model()->index(to, 0));
}

void FileListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        removeCurrent();
        event->accept();
        return;
    }
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier
        && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        moveCurrent(event->key() == Qt::Key_Up ? -1 : 1);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void FileListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    removeCurrent();
    event->accept();
}

void FileListView::mousePressEvent(QMouseEvent *event)
{
    QTreeView::mousePressEvent(event);
    mouseDown = true;
    if (indexAt(event->position().toPoint()).isValid())
        itemClick();
}

void FileListView::itemClick()
{
    // The press has already made the pressed entry current, so it is the one
    // the following moves carry.
    if (m_hasDragCursor)
        viewport()->setCursor(m_dragCursor);
    dragItem = currentIndex().isValid() ? currentIndex().row() : -1;
}

void FileListView::mouseMoveEvent(QMouseEvent *event)
{
    Q_EMIT mouseMoved();
    if (!mouseDown) {
        QTreeView::mouseMoveEvent(event);
        return;
    }

    const QPoint pos = event->position().toPoint();
    followEdge(pos);
    if (m_edgeDirection != 0) {
        carryTo(edgeRow());
        event->accept();
        return;
    }
    // The row under the pointer during this move.
    const int hoverItem = hitTest(pos);
    const int count = model() ? model()->rowCount() : 0;
    if (hoverItem >= 0 && dragItem >= 0 && dragItem < count && rowText(hoverItem) != rowText(dragItem)) {
        const QString dragged = rowText(dragItem);
        setRowText(dragItem, rowText(hoverItem));
        setRowText(hoverItem, dragged);
        // The dragged entry is the current one and the only one selected, so
        // Delete and "Clear Selected Files" act on it, not on a row it passed.
        selectionModel()->setCurrentIndex(model()->index(hoverItem, 0), QItemSelectionModel::ClearAndSelect);
        dragItem = hoverItem;

        const int y = m_cursorPosition().y();
        if (y < scrollUpBelowY) {
            if (hoverItem > 0)
                scrollTo(model()->index(hoverItem - 1, 0));
        } else if (y > scrollDownBeyondY) {
            if (hoverItem + 1 < count)
                scrollTo(model()->index(hoverItem + 1, 0));
        }
    }
    event->accept();
}

int FileListView::hitTest(QPoint pos) const
{
    // indexAt answers for any point, even one beyond the viewport, with the
    // row that would be there if the list went on: a row the user cannot see.
    if (!viewport()->rect().contains(pos))
        return -1;
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : -1;
}

int FileListView::edgeRow() const
{
    if (!model() || model()->rowCount() == 0)
        return -1;
    const int height = viewport()->height();
    const int x = header()->sectionViewportPosition(0) + 1;
    // Empty space at the edge (a short list) is no row, as inside the list.
    const QModelIndex atEdge = indexAt(QPoint(x, m_edgeDirection < 0 ? 0 : height - 1));
    if (!atEdge.isValid())
        return -1;
    // A row cut by the edge is not the pointer's: the nearest whole row is.
    const QRect rect = visualRect(atEdge);
    const int row = atEdge.row();
    if (m_edgeDirection < 0)
        return rect.top() < 0 && row + 1 < model()->rowCount() ? row + 1 : row;
    return rect.bottom() >= height && row > 0 ? row - 1 : row;
}

void FileListView::carryTo(int row)
{
    const int count = model() ? model()->rowCount() : 0;
    if (row < 0 || dragItem < 0 || dragItem >= count || row >= count || row == dragItem)
        return;
    // One row at a time, as if the pointer crossed each: the dragged path
    // moves and every row it passes shifts by one, keeping their order.
    const int step = row > dragItem ? 1 : -1;
    for (; dragItem != row; dragItem += step) {
        const QString dragged = rowText(dragItem);
        setRowText(dragItem, rowText(dragItem + step));
        setRowText(dragItem + step, dragged);
    }
    selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

void FileListView::followEdge(QPoint pos)
{
    const int direction = pos.y() < 0 ? -1 : (pos.y() >= viewport()->height() ? 1 : 0);
    if (direction == m_edgeDirection)
        return;
    m_edgeDirection = direction;
    if (direction == 0) {
        m_edgeScroll.stop();
    } else {
        scrollTowardsEdge();
        m_edgeScroll.start();
    }
}

void FileListView::scrollTowardsEdge()
{
    if (!mouseDown || m_edgeDirection == 0) {
        m_edgeScroll.stop();
        return;
    }
    verticalScrollBar()->triggerAction(m_edgeDirection < 0 ? QAbstractSlider::SliderSingleStepSub
                                                           : QAbstractSlider::SliderSingleStepAdd);
}

void FileListView::mouseReleaseEvent(QMouseEvent *event)
{
    mouseDown = false;
    m_edgeDirection = 0;
    m_edgeScroll.stop();
    viewport()->setCursor(Qt::ArrowCursor);
    QTreeView::mouseReleaseEvent(event);
}

QString FileListView::rowText(int row) const
{
    return model()->index(row, 0).data(Qt::EditRole).toString();
}

void FileListView::setRowText(int row, const QString &text)
{
    model()->setData(model()->index(row, 0), text, Qt::EditRole);
}

void FileListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (localFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void FileListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (localFiles(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void FileListView::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT pathsDropped(paths);
}
