#include <QApplication>
#include <QDir>
#include <QSettings>

#include "ui/app_icon.h"
#include "ui/app_identity.h"
#include "ui/main_window.h"
#include "ui/platform/qt_platform.h"
#include "ui/start_up.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(quillet::ProgramName());
    QApplication::setOrganizationName(quillet::ProgramName());
    QApplication::setApplicationVersion(quillet::VersionText());
    QApplication::setWindowIcon(quillet::AppIcon());
    QApplication::setDesktopFileName(QStringLiteral("quillet"));

    quillet::QtPlatform platform;
    QSettings settings;
    quillet::MainWindow window(platform, settings);
    // Run from the source tree, the first Open starts among the sample tables.
    const QString samples = QStringLiteral(QUILLET_SOURCE_SAMPLES_DIR);
    if (QDir(samples).exists()) window.setDefaultOpenFolder(samples);
    if (const std::optional<int> status = quillet::StartWith(window, QApplication::arguments())) return *status;
    return QApplication::exec();
}
