// Opens a table in the real main window on whatever platform Qt runs (offscreen in
// scripts/screenshot.sh), shows each dialog in turn and saves a picture of the window and of
// every dialog: quillet_screenshot TABLE OUT.png writes OUT.png and OUT-frmColumns.png,
// OUT-frmSave.png, ... beside it. Nothing is converted: every options dialog is cancelled.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <cstdio>

#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "ui/app_icon.h"
#include "ui/frm_main.h"
#include "ui/platform/qt_platform.h"

namespace {

bool SavePicture(QWidget& widget, const QString& path) {
    if (widget.grab().save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillet_screenshot TABLE OUT.png\n");
        return 2;
    }
    QApplication::setWindowIcon(quillet::AppIcon());
    const QString table = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    const QString picture = QString::fromLocal8Bit(argv[2]);
    const QFileInfo pictureInfo(picture);
    const QString dialogPictures = pictureInfo.dir().filePath(pictureInfo.completeBaseName() + QStringLiteral("-%1.png"));

    quillet::testing::ScriptedPlatform platform;
    platform.Volumes = quillet::QtPlatform().MountedVolumes();
    platform.AnswerFileDialog(table);
    quillet::frmMain window(platform);
    window.show();

    bool saved = true;
    quillet::testing::ModalDialogs dialogs;
    // Pictures the next dialog, then leaves it by the button named.
    const auto picture_then = [&](const QString& dialog, const char* button) {
        dialogs.Answer(dialog, [&, button](QDialog& shown) {
            saved &= SavePicture(shown, dialogPictures.arg(shown.objectName()));
            quillet::testing::ChildOf<QPushButton>(shown, QString::fromLatin1(button))->click();
        });
    };
    const auto press = [&](const char* name) { quillet::testing::ChildOf<QAbstractButton>(window, QString::fromLatin1(name))->click(); };

    int status = 1;
    QObject::connect(&window, &quillet::frmMain::OpenFinished, [&] {
        for (const auto& message : platform.Messages) std::fprintf(stderr, "%s\n", qPrintable(message.Text));
        // Pending layout (scroll bars of the information box) settles before the pictures.
        QTimer::singleShot(200, &window, [&] {
            picture_then(QStringLiteral("frmSave"), "OKButton");
            press("Command2");
            picture_then(QStringLiteral("frmColumns"), "CancelButton");
            press("Command3");
            const std::pair<const char*, const char*> options[] = {
                {"Option2_0", "frmOptions"}, {"Option2_2", "frmOpsHtm"}, {"Option2_3", "frmOptionsRtf"}};
            for (const auto& [format, dialog] : options) {
                press(format);
                picture_then(QString::fromLatin1(dialog), "CancelButton");
                press("Command4");
            }
            picture_then(QStringLiteral("frmAbout"), "cmdOK");
            press("Command5");
            press("Option2_1");
            saved &= SavePicture(window, picture);
            if (!dialogs.AllAnswered() || !dialogs.Unexpected.isEmpty()) {
                std::fprintf(stderr, "dialogs not shown as expected: %s\n", qPrintable(dialogs.Unexpected.join(", ")));
                saved = false;
            }
            status = saved ? 0 : 1;
            QApplication::quit();
        });
    });
    QTimer::singleShot(0, &window, [&] { window.Command1_Click(); });
    QApplication::exec();
    return status;
}
