#include "ui/frm_save.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "ui/caption_font.h"
#include "ui/folder_list.h"
#include "ui/path_bytes.h"
#include "ui/twips.h"

namespace quillet {

namespace {

bool Holds(const QString& root, const QString& path) {
    if (path == root) return true;
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    return path.startsWith(prefix);
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

frmSave::frmSave(Platform& platform, ExportSettings& settings, QLineEdit& saveBox, QWidget* parent)
    : QDialog(parent), platform_(platform), settings_(settings), saveBox_(saveBox), volumes_(Sorted(platform.MountedVolumes())) {
    setObjectName(QStringLiteral("frmSave"));
    setWindowTitle(QStringLiteral("Save Location"));
    BuildControls();

    for (const Volume& volume : volumes_) Drive1->addItem(DriveText(volume));
    // A current folder that cannot be read (removed meanwhile, say) leaves the list at the root.
    if (Dir1->Open(platform_.CurrentFolder())) Dir1->Open(QDir::rootPath());
    ShowDriveOf(Dir1->Path());
}

void frmSave::BuildControls() {
    const TwipsLayout layout(*this);
    setFixedSize(layout.Pixels(5310), layout.Pixels(3945));

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    layout.Place(OKButton, "OKButton", 3975, 120, 1215, 375);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    layout.Place(CancelButton, "CancelButton", 3975, 600, 1215, 375);
    Drive1 = new QComboBox(this);
    layout.Place(Drive1, "Drive1", 120, 120, 3735, 375);
    Dir1 = new FolderList(platform_, this);
    layout.Place(Dir1, "Dir1", 120, 600, 3735, 3225);

    setTabOrder(OKButton, CancelButton);
    setTabOrder(CancelButton, Drive1);
    setTabOrder(Drive1, Dir1);
    FitCaptions(this, {});

    connect(OKButton, &QPushButton::clicked, this, &frmSave::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmSave::CancelButton_Click);
    connect(Drive1, &QComboBox::activated, this, &frmSave::Drive1_Change);
    connect(Dir1, &FolderList::Change, this, [this] { ShowDriveOf(Dir1->Path()); });
    connect(Dir1, &FolderList::OpenRefused, this, &frmSave::Refuse);
}

int frmSave::VolumeOf(const QString& path) const {
    int found = -1;
    for (int i = 0; i < volumes_.size(); ++i) {
        if (Holds(volumes_[i].RootPath, path) && (found < 0 || volumes_[i].RootPath.size() > volumes_[found].RootPath.size())) {
            found = i;
        }
    }
    return found;
}

QString frmSave::CurrentFolderOn(int volume) const {
    const QString current = QDir::cleanPath(platform_.CurrentFolder());
    return VolumeOf(current) == volume ? current : volumes_[volume].RootPath;
}

void frmSave::ShowDriveOf(const QString& path) { Drive1->setCurrentIndex(VolumeOf(path)); }

void frmSave::Refuse(const QString& folder, const QString& reason) {
    platform_.ShowMessage(this, QStringLiteral("Error"), QStringLiteral("Cannot read \"%1\": %2").arg(folder, reason),
                          MessageIcon::Critical);
}

void frmSave::Drive1_Change() {
    const int chosen = Drive1->currentIndex();
    if (chosen < 0) return;
    const QString folder = CurrentFolderOn(chosen);
    const std::optional<QString> reason = Dir1->Open(folder);
    if (!reason) return;
    Refuse(folder, *reason);
    // Both lists go back to the volume the folder list is on, at that volume's current folder;
    // if even that cannot be read now, the folder list stays where it is.
    const int previous = VolumeOf(Dir1->Path());
    Drive1->setCurrentIndex(previous);
    if (previous >= 0) Dir1->Open(CurrentFolderOn(previous));
}

void frmSave::OKButton_Click() {
    settings_.SaveFolder = PathBytes(Dir1->Path());
    accept();
}

void frmSave::CancelButton_Click() {
    settings_.SaveFolder.clear();
    reject();
}

void frmSave::done(int result) {
    saveBox_.setText(PathText(settings_.SaveFolder));
    QDialog::done(result);
}

}  // namespace quillet
