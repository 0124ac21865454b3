// The desktop program's open of a table, for bench/run.sh: opens TABLE in the real main window
// (offscreen there) and prints, one line each, the milliseconds since the Open command started:
//   shown    the list has painted its first rows
//   last     it has scrolled to the last record and painted it
//   counted  the deleted records are counted (the window has read the table through once)
//     quillet-open-bench TABLE
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSettings>
#include <QTableView>
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
    const auto print = [&clock](const char* label) { std::printf("%s %lld\n", label, static_cast<long long>(clock.elapsed())); };
    QObject::connect(&window, &quillet::MainWindow::tableShown, [&] {
        window.repaint();  // paints the list's first rows now, not at the next turn of the loop
        print("shown");
        auto* list = window.findChild<QTableView*>(QStringLiteral("recordView"));
        list->scrollToBottom();
        window.repaint();
        print("last");
    });
    QObject::connect(&window, &quillet::MainWindow::tableOpened, [&] {
        print("counted");
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
