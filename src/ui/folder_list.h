#pragma once

#include <QTreeWidget>
#include <optional>

#include "ui/platform/platform.h"

namespace quillet {

// The save-location dialog's folder list: the open folder's ancestors from the root down, each
// indented under the one above, then the open folder's subfolders. A double-click opens the folder
// clicked, as do Enter and Right on the highlighted one; a single click only highlights it. Path is the open folder, never the highlighted one.
class FolderList final : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(Platform& platform, QWidget* parent = nullptr);

    // The open folder's full path: no trailing separator except at the root ("/").
    const QString& Path() const { return path_; }

    // Opens folder. When it cannot be read, returns the system's reason and shows what it showed.
    std::optional<QString> Open(const QString& folder);

signals:
    // The user opened another folder.
    void Change();
    // The user tried to open a folder that cannot be read.
    void OpenRefused(const QString& folder, const QString& reason);

protected:
    // The tree is always open down to the open folder: no branch marks, nothing to expand or collapse.
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;
    // Enter on the open folder itself is left to the dialog, whose default button takes it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OpenItem(QTreeWidgetItem* item);

    Platform& platform_;
    QString path_;
};

}  // namespace quillet
