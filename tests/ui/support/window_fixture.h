#pragma once

// The main window over a scripted desktop, and what the window tests share: the widget
// classes they drive, the sample table, data rows and golden files under tests/data.

#include <QtTest>
#include <QtWidgets>
#include <array>
#include <memory>

#include "export/exporters.h"
#include "support/files.h"
#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "ui/main_window.h"

namespace quillet::testing {

const QString kSample = QStringLiteral(QUILLET_SAMPLES_DIR "/customers.dbf");

// The main window with its lasting settings in a file of a fresh folder: a test never reads or
// writes the user's own.
struct WindowFixture {
    TempDir Folder;
    QSettings Settings{QString::fromStdString((Folder / "settings.ini").string()), QSettings::IniFormat};
    ScriptedPlatform Platform;
    ModalDialogs Dialogs;
    std::unique_ptr<MainWindow> Window = std::make_unique<MainWindow>(Platform, Settings);

    // A few records a window, so that every flow also crosses from window to window.
    WindowFixture() { Window->setListWindowBytes(kFewRecords); }
    static constexpr std::uint64_t kFewRecords = 200;

    QString PathOf(const std::string& name) const { return QString::fromStdString((Folder / name).string()); }

    // Runs act and waits until the window signals done.
    template <typename Signal>
    bool Await(Signal done, const std::function<void()>& act) {
        QSignalSpy spy(Window.get(), done);
        act();
        return spy.count() > 0 || spy.wait(30000);
    }
    bool Open(const QString& path) {
        return Await(&MainWindow::tableOpened, [&] { Window->openFile(path); });
    }
    // Picks folder in the save-location dialog, which starts there.
    void Browse(const std::filesystem::path& folder) {
        Platform.Current = QString::fromStdString(folder.string());
        Dialogs.Answer(QStringLiteral("SaveLocationDialog"), [](QDialog& d) { Click(d, "okButton"); });
        Click(*Window, "browseButton");
    }
    void ChooseFormat(OutputFormat format) {
        ChildOf<QRadioButton>(*Window, QStringLiteral("format%1").arg(int(format)))->click();
    }
    bool Convert() {
        return Await(&MainWindow::converted, [&] { Click(*Window, "convertButton"); });
    }
    QString TextOf(const char* name) const { return ChildOf<QLineEdit>(*Window, QString::fromLatin1(name))->text(); }
};

// A row of Qt Test data for each row of a data file under tests/data: its first field names the
// row, and the test takes the others with DataFields.
inline void AddDataRows(const char* file) {
    QTest::addColumn<QStringList>("fields");
    for (const auto& row : DataRows(std::string(QUILLET_TEST_DATA "/") + file)) {
        QStringList fields;
        for (std::size_t k = 1; k < row.size(); ++k) fields << QString::fromStdString(row[k]);
        QTest::newRow(row.at(0).c_str()) << fields;
    }
}

// The current data row's first N fields (missing ones empty), to bind to names.
template <std::size_t N>
std::array<QString, N> DataFields() {
    QFETCH(QStringList, fields);
    std::array<QString, N> named;
    for (std::size_t k = 0; k < N; ++k) named[k] = fields.value(static_cast<qsizetype>(k));
    return named;
}

// Whether bytes are what the golden file tests/data/NAME holds; a difference leaves them beside
// the file as NAME.actual.
inline bool MatchesGolden(const std::string& bytes, const std::string& name) {
    const std::filesystem::path golden = std::filesystem::path(QUILLET_TEST_DATA) / name;
    if (ReadFileBytes(golden) == bytes) return true;
    WriteFileBytes(golden.string() + ".actual", bytes);
    return false;
}
inline bool MatchesGolden(const QString& text, const std::string& name) { return MatchesGolden(text.toStdString(), name); }

}  // namespace quillet::testing
