// Opens a table in the real main window on whatever platform Qt runs (offscreen in
// scripts/screenshot.sh) and saves a picture of the window: quillet_screenshot TABLE OUT.png
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "support/scripted_platform.h"
#include "ui/app_icon.h"
#include "ui/frm_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillet_screenshot TABLE OUT.png\n");
        return 2;
    }
    QApplication::setWindowIcon(quillet::AppIcon());
    const QString table = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    const QString picture = QString::fromLocal8Bit(argv[2]);

    quillet::testing::ScriptedPlatform platform;
    platform.AnswerFileDialog(table);
    quillet::frmMain window(platform);
    window.show();

    int status = 1;
    QObject::connect(&window, &quillet::frmMain::OpenFinished, [&] {
        for (const auto& message : platform.Messages) std::fprintf(stderr, "%s\n", qPrintable(message.Text));
        // Pending layout (scroll bars of the information box) settles before the picture.
        QTimer::singleShot(200, &window, [&] {
            if (window.grab().save(picture, "PNG")) status = 0;
            else std::fprintf(stderr, "cannot write %s\n", qPrintable(picture));
            QApplication::quit();
        });
    });
    QTimer::singleShot(0, &window, [&] { window.Command1_Click(); });
    QApplication::exec();
    return status;
}
