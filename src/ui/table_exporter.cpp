#include "ui/table_exporter.h"

#include <new>

#include "export/exporters.h"
#include "ui/path_bytes.h"
#include "ui/permille_progress.h"

namespace quillet {

namespace {

// The exporters name the file in their messages; the few that do not get it put in front.
QString NamingThePath(const std::string& path, const std::string& message) {
    if (message.find(path) != std::string::npos) return PathText(message);
    return QStringLiteral("Cannot write \"%1\": %2").arg(PathText(path), QString::fromStdString(message));
}

}  // namespace

TableExporter::TableExporter(QObject* parent) : QObject(parent) {}

TableExporter::~TableExporter() { Wait(); }

void TableExporter::Start(const OpenTable& table, const ExportSettings& settings) {
    outcome_ = {};
    worker_ = std::thread(&TableExporter::Write, this, &table, settings);
}

void TableExporter::Wait() {
    if (worker_.joinable()) worker_.join();
}

TableExporter::Outcome TableExporter::TakeOutcome() { return std::move(outcome_); }

void TableExporter::Write(const OpenTable* table, ExportSettings settings) {
    const ExportProgress progress = PermilleProgress<std::int64_t>(this);
    const std::string path = OutputPath(*table, settings, settings.OutputFormat);
    try {
        ExportTable(*table, settings, progress);
        outcome_.Written = true;
    } catch (const ExportError& e) {
        outcome_.Message = NamingThePath(path, e.what());
    } catch (const std::bad_alloc&) {
        outcome_.Message = NamingThePath(path, "there is not enough memory to write it.");
    } catch (const std::exception& e) {
        outcome_.Message = NamingThePath(path, e.what());
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            Wait();
            emit Finished();
        },
        Qt::QueuedConnection);
}

}  // namespace quillet
