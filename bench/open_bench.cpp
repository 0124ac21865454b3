// The desktop program's open of a table, for bench/run.sh: opens TABLE in the real main window
// (offscreen there), waits until the list has painted its first rows, prints the milliseconds
// since the Open command started on standard output and exits.
//     quillet-open-bench TABLE
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "support/scripted_platform.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillet-open-bench TABLE\n");
        return 2;
    }
    const QString table = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));

    quillet::testing::ScriptedPlatform platform;
    platform.FileAnswers.push_back(table);
    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    quillet::MainWindow window(platform, settings);
    window.show();

    QElapsedTimer clock;
    int status = 1;
    QObject::connect(&window, &quillet::MainWindow::tableOpened, [&] {
        window.repaint();  // paints the list's first rows now, not at the next turn of the loop
        std::printf("%lld\n", static_cast<long long>(clock.elapsed()));
        for (const auto& message : platform.Messages) std::fprintf(stderr, "%s\n", qPrintable(message.Text));
        status = platform.Messages.empty() ? 0 : 1;
        QApplication::quit();
    });
    QTimer::singleShot(0, &window, [&] {
        clock.start();
        window.openTable();
    });
    QApplication::exec();
    return status;
}
