#pragma once

#include <QStringList>

namespace quillet {

class MainWindow;

// Reads the program's command line (--help and --version print and end the process), shows
// the window and opens the table the command line names, if any.
void StartWith(MainWindow& window, const QStringList& arguments);

}  // namespace quillet
