#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "table/open_table.h"
#include "table/table_error.h"

namespace quillet {

// Reads a table file on a worker thread so that the window keeps painting and its progress bar
// moves. Every failure is caught on the worker and handed over as data: nothing is thrown across
// the event loop.
class TableLoader final : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        std::unique_ptr<OpenTable> Table;            // the table read, or null when it was refused
        std::optional<TableError::Kind> Refusal;     // why it was refused
        QString Message;                             // the reason, ready to show
    };

    explicit TableLoader(QObject* parent = nullptr);
    // Waits for a read still running: the worker writes into this object.
    ~TableLoader() override;

    // Starts reading path; Finished follows once, on this object's thread.
    void Start(const QString& path);
    bool Running() const { return worker_.joinable(); }
    Outcome TakeOutcome();

signals:
    void Progress(int permille);
    void Finished();

private:
    void Read(const std::string& path);

    std::thread worker_;
    Outcome outcome_;
};

}  // namespace quillet
