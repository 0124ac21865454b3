#pragma once

#include <QStringList>
#include <optional>

namespace quillet {

class MainWindow;

// Reads the program's command line. --help and --version print their text, and a mistake in
// the options says what it is; each gives the status the program then ends with (returned, so
// that everything is torn down as usual). Otherwise shows the window, opens the table the
// command line names, if any, and gives nothing.
std::optional<int> StartWith(MainWindow& window, const QStringList& arguments);

}  // namespace quillet
