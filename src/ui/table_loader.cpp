#include "ui/table_loader.h"

#include <QFile>
#include <new>

#include "table/read_table.h"
#include "ui/path_bytes.h"
#include "ui/permille_progress.h"

namespace quillet {

TableLoader::TableLoader(QObject* parent) : QObject(parent) {}

TableLoader::~TableLoader() {
    if (worker_.joinable()) worker_.join();
}

void TableLoader::Start(const QString& path) {
    outcome_ = {};
    worker_ = std::thread(&TableLoader::Read, this, PathBytes(path));
}

TableLoader::Outcome TableLoader::TakeOutcome() {
    return std::move(outcome_);
}

void TableLoader::Read(const std::string& path) {
    const ReadProgress progress = PermilleProgress<std::uint64_t>(this);
    try {
        outcome_.Table = std::make_unique<OpenTable>(ReadTableFile(path, progress));
    } catch (const TableError& e) {
        outcome_.Refusal = e.ErrorKind();
        // The version message carries the refused byte as a character of the table's own world.
        outcome_.Message = e.ErrorKind() == TableError::Kind::UnknownVersion
                               ? QString::fromStdU16String(CodePage::Default().ToUtf16(e.what()))
                               : QFile::decodeName(e.what());
    } catch (const std::bad_alloc&) {
        outcome_.Refusal = TableError::Kind::CannotOpen;
        outcome_.Message = QStringLiteral("Cannot read \"%1\": there is not enough memory to hold it.").arg(PathText(path));
    } catch (const std::exception& e) {
        outcome_.Refusal = TableError::Kind::CannotOpen;
        outcome_.Message = QStringLiteral("Cannot read \"%1\": %2").arg(PathText(path), QString::fromLocal8Bit(e.what()));
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            worker_.join();
            emit Finished();
        },
        Qt::QueuedConnection);
}

}  // namespace quillet
