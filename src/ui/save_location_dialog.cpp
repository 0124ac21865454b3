#include "ui/save_location_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "ui/folder_list.h"

namespace quillet {

namespace {

bool Holds(const QString& root, const QString& path) {
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path == root || path.startsWith(prefix);
}

// The volumes once each, by where they are mounted, so that "/" comes first.
QList<Volume> Sorted(QList<Volume> volumes) {
    for (Volume& volume : volumes) volume.RootPath = QDir::cleanPath(volume.RootPath);
    std::sort(volumes.begin(), volumes.end(), [](const Volume& a, const Volume& b) { return a.RootPath < b.RootPath; });
    volumes.erase(std::unique(volumes.begin(), volumes.end(),
                              [](const Volume& a, const Volume& b) { return a.RootPath == b.RootPath; }),
                  volumes.end());
    return volumes;
}

QString DriveText(const Volume& volume) {
    if (volume.DisplayName.isEmpty() || volume.DisplayName == volume.RootPath) return volume.RootPath;
    return QStringLiteral("%1  [%2]").arg(volume.RootPath, volume.DisplayName);
}

}  // namespace

SaveLocationDialog::SaveLocationDialog(Platform& platform, const QString& startFolder, QWidget* parent)
    : QDialog(parent),
      platform_(platform),
      volumes_(Sorted(platform.MountedVolumes())),
      driveBox_(new QComboBox),
      folderList_(new FolderList(platform)),
      pathBox_(new QLineEdit) {
    setObjectName(QStringLiteral("SaveLocationDialog"));
    setWindowTitle(tr("Save Location"));
    driveBox_->setObjectName(QStringLiteral("driveBox"));
    folderList_->setObjectName(QStringLiteral("folderList"));
    pathBox_->setObjectName(QStringLiteral("pathBox"));
    pathBox_->setReadOnly(true);
    for (const Volume& volume : volumes_) driveBox_->addItem(DriveText(volume));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        folder_ = folderList_->Path();
        accept();
    });
    connect(buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this, [this] {
        folder_ = QString();
        reject();
    });
    auto* driveLabel = new QLabel(tr("&Drive:"));
    driveLabel->setBuddy(driveBox_);
    auto* pathLabel = new QLabel(tr("&Folder:"));
    pathLabel->setBuddy(pathBox_);

    auto* grid = new QGridLayout(this);
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(driveBox_, 0, 1);
    grid->addWidget(folderList_, 1, 0, 1, 2);
    grid->addWidget(pathLabel, 2, 0);
    grid->addWidget(pathBox_, 2, 1);
    grid->addWidget(buttons, 0, 2, 3, 1);
    grid->setRowStretch(1, 1);
    setTabOrder(buttons, driveBox_);
    setTabOrder(driveBox_, folderList_);
    setTabOrder(folderList_, pathBox_);

    connect(driveBox_, &QComboBox::activated, this, &SaveLocationDialog::chooseDrive);
    connect(folderList_, &FolderList::Change, this, &SaveLocationDialog::ShowPath);
    connect(folderList_, &FolderList::OpenRefused, this, &SaveLocationDialog::Refuse);
    // A start folder that cannot be read (removed meanwhile, say) gives way to the current one, then the root.
    if (startFolder.isEmpty() || folderList_->Open(startFolder)) {
        if (folderList_->Open(platform_.CurrentFolder())) folderList_->Open(QDir::rootPath());
    }
    ShowPath();
    folderList_->setFocus();
}

int SaveLocationDialog::VolumeOf(const QString& path) const {
    int found = -1;
    for (int i = 0; i < volumes_.size(); ++i) {
        if (Holds(volumes_[i].RootPath, path) && (found < 0 || volumes_[i].RootPath.size() > volumes_[found].RootPath.size())) {
            found = i;
        }
    }
    return found;
}

QString SaveLocationDialog::StartOn(int volume) const {
    const QString current = QDir::cleanPath(platform_.CurrentFolder());
    return VolumeOf(current) == volume ? current : volumes_[volume].RootPath;
}

void SaveLocationDialog::ShowPath() {
    driveBox_->setCurrentIndex(VolumeOf(folderList_->Path()));
    pathBox_->setText(folderList_->Path());
}

void SaveLocationDialog::Refuse(const QString& folder, const QString& reason) {
    platform_.ShowMessage(this, tr("Error"), tr("Cannot read \"%1\": %2").arg(folder, reason), MessageIcon::Critical);
}

void SaveLocationDialog::chooseDrive(int index) {
    const int previous = VolumeOf(folderList_->Path());
    // The volume the user is on already: stay where the user went on it.
    if (index < 0 || index == previous) return;
    const QString folder = StartOn(index);
    if (const std::optional<QString> reason = folderList_->Open(folder)) {
        Refuse(folder, *reason);
    }
    ShowPath();
}

}  // namespace quillet
