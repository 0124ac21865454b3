#include "ui/start_up.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "ui/main_window.h"

namespace quillet {

std::optional<int> StartWith(MainWindow& window, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(MainWindow::tr("View a dBASE/FoxPro table and convert it."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("TABLE"), MainWindow::tr("A .dbf table to open at start."));
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        return 1;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    window.show();
    const QStringList tables = parser.positionalArguments();
    if (!tables.isEmpty()) window.openFile(QDir::current().absoluteFilePath(tables.first()));
    return std::nullopt;
}

}  // namespace quillet
