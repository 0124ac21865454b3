#include <QApplication>
#include <QDir>

#include "ui/app_icon.h"
#include "ui/app_identity.h"
#include "ui/frm_main.h"
#include "ui/platform/qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(quillet::ProgramName());
    QApplication::setApplicationVersion(quillet::VersionText());
    QApplication::setWindowIcon(quillet::AppIcon());

    quillet::QtPlatform platform;
    quillet::frmMain window(platform);
    // Run from the source tree, the first Open starts among the sample tables.
    const QString samples = QStringLiteral(QUILLET_SOURCE_SAMPLES_DIR);
    if (QDir(samples).exists()) window.SetOpenFolder(samples);
    window.show();
    return QApplication::exec();
}
