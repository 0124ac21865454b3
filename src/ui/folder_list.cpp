#include "ui/folder_list.h"

#include <QDir>
#include <QKeyEvent>
#include <QStyle>

namespace quillet {

namespace {

constexpr int kPathRole = Qt::UserRole;

QString Joined(const QString& folder, const QString& name) {
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace

FolderList::FolderList(Platform& platform, QWidget* parent) : QTreeWidget(parent), platform_(platform) {
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setIndentation(fontMetrics().height() * 3 / 4);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemDoubleClicked, this, &FolderList::OpenItem);
}

std::optional<QString> FolderList::Open(const QString& folder) {
    const QString path = QDir::cleanPath(folder);
    const FolderListing listing = platform_.ListFolders(path);
    if (!listing.Problem.isEmpty()) return listing.Problem;

    path_ = path;
    clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QString root = QDir::rootPath();
    auto* item = new QTreeWidgetItem(this, {root});
    item->setData(0, kPathRole, root);
    item->setIcon(0, open);
    QString walked = root;
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        walked = Joined(walked, part);
        item = new QTreeWidgetItem(item, {part});
        item->setData(0, kPathRole, walked);
        item->setIcon(0, open);
    }
    for (const QString& name : listing.Names) {
        auto* child = new QTreeWidgetItem(item, {name});
        child->setData(0, kPathRole, Joined(path, name));
        child->setIcon(0, closed);
    }
    expandAll();
    setCurrentItem(item);
    scrollToItem(item);
    return std::nullopt;
}

void FolderList::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void FolderList::keyPressEvent(QKeyEvent* event) {
    const bool opens = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Right;
    QTreeWidgetItem* item = currentItem();
    if (opens && item != nullptr && item->data(0, kPathRole).toString() != path_) {
        OpenItem(item);
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void FolderList::OpenItem(QTreeWidgetItem* item) {
    const QString folder = item->data(0, kPathRole).toString();
    if (folder == path_) return;
    if (const std::optional<QString> reason = Open(folder)) {
        emit OpenRefused(folder, *reason);
        return;
    }
    emit Change();
}

}  // namespace quillet
