// Saves pictures of the main window (at its opening size and maximised) with a table open, and
// of every dialog, on whatever platform Qt runs (offscreen in scripts/screenshot.sh):
//   quillet_screenshot TABLE PREFIX   writes PREFIX-MainWindow.png, PREFIX-MainWindow-maximised.png,
//   PREFIX-ColumnsDialog.png, ...
// A caption narrower than its text is reported and makes the exit status 1.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "ui/about_dialog.h"
#include "ui/columns_dialog.h"
#include "ui/decoded_text.h"
#include "ui/main_window.h"
#include "ui/options_dialogs.h"
#include "ui/platform/qt_platform.h"
#include "ui/save_location_dialog.h"

namespace {

// The real desktop, except that messages are printed instead of waiting for a person.
class PrintingPlatform final : public quillet::Platform {
public:
    std::optional<QString> ChooseFileToOpen(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    void ShowMessage(QWidget*, const QString& caption, const QString& text, quillet::MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    std::optional<QColor> ChooseColor(QWidget*, const QColor&) override { return std::nullopt; }
    bool StartProgram(const QString&, const QStringList&) override { return false; }
    bool ShowFolder(const QString&) override { return false; }
    QList<quillet::Volume> MountedVolumes() override { return real_.MountedVolumes(); }
    QString CurrentFolder() override { return real_.CurrentFolder(); }
    quillet::FolderListing ListFolders(const QString& folder) override { return real_.ListFolders(folder); }
    QString FindProgram(const QString& name) override { return real_.FindProgram(name); }

private:
    quillet::QtPlatform real_;
};

int failures = 0;

void Save(QWidget& window, const QString& prefix, const QString& name) {
    window.show();
    QApplication::processEvents();
    QTimer wait;
    QEventLoop loop;
    QTimer::singleShot(150, &loop, &QEventLoop::quit);  // pending layout settles first
    loop.exec();
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (button->isVisible() && button->width() < button->minimumSizeHint().width()) {
            std::fprintf(stderr, "%s: \"%s\" is cut\n", qPrintable(name), qPrintable(button->text()));
            ++failures;
        }
    }
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isVisible() && !label->wordWrap() && label->width() < label->minimumSizeHint().width()) {
            std::fprintf(stderr, "%s: \"%s\" is cut\n", qPrintable(name), qPrintable(label->text()));
            ++failures;
        }
    }
    const QString path = prefix + QStringLiteral("-") + name + QStringLiteral(".png");
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        ++failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillet_screenshot TABLE PREFIX\n");
        return 2;
    }
    const QString table = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]));
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    QTemporaryDir scratch;
    QSettings settings(scratch.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    PrintingPlatform platform;
    quillet::MainWindow window(platform, settings);
    QObject::connect(&window, &quillet::MainWindow::tableOpened, &app, &QApplication::quit);
    window.show();
    window.openFile(table);
    QApplication::exec();

    Save(window, prefix, QStringLiteral("MainWindow"));
    window.showMaximized();
    Save(window, prefix, QStringLiteral("MainWindow-maximised"));
    window.showNormal();

    const quillet::OpenTable& open = window.table();
    QStringList names;
    for (int field = 0; field < open.ColumnCount; ++field) {
        names.append(quillet::Decoded(*open.TableCodePage, open.FieldNames[static_cast<std::size_t>(field)]));
    }
    quillet::ColumnsDialog columns(names, open.ColumnSelected, &window);
    Save(columns, prefix, QStringLiteral("ColumnsDialog"));
    quillet::SaveLocationDialog location(platform, QFileInfo(table).absolutePath(), &window);
    Save(location, prefix, QStringLiteral("SaveLocationDialog"));
    quillet::DelimitedOptionsDialog delimited(&window);
    Save(delimited, prefix, QStringLiteral("DelimitedOptionsDialog"));
    quillet::HtmlOptionsDialog html(platform, &window);
    Save(html, prefix, QStringLiteral("HtmlOptionsDialog"));
    quillet::RtfOptionsDialog rtf(&window);
    Save(rtf, prefix, QStringLiteral("RtfOptionsDialog"));
    quillet::AboutDialog about(platform, &window);
    Save(about, prefix, QStringLiteral("AboutDialog"));
    return failures == 0 ? 0 : 1;
}
