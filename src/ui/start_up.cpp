#include "ui/start_up.h"

#include <QCommandLineParser>
#include <QDir>

#include "ui/main_window.h"

namespace quillet {

void StartWith(MainWindow& window, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(MainWindow::tr("View a dBASE/FoxPro table and convert it."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("TABLE"), MainWindow::tr("A .dbf table to open at start."));
    parser.process(arguments);
    window.show();
    const QStringList tables = parser.positionalArguments();
    if (!tables.isEmpty()) window.openFile(QDir::current().absoluteFilePath(tables.first()));
}

}  // namespace quillet
