#pragma once

#include <QSettings>
#include <QSignalSpy>
#include <memory>

#include "support/files.h"
#include "support/modal_dialogs.h"
#include "support/scripted_platform.h"
#include "ui/main_window.h"

namespace quillet::testing {

// The main window over a scripted desktop, with its lasting settings in a file of a fresh
// folder: a test never reads or writes the user's own.
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
};

}  // namespace quillet::testing
