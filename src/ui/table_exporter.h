#pragma once

#include <QObject>
#include <QString>
#include <thread>

#include "export/export_settings.h"
#include "table/open_table.h"

namespace quillet {

// Writes the open table into its output file on a worker thread, so that the window keeps
// painting and its progress bar moves. Every failure is caught on the worker and handed over as
// a message: nothing is thrown across the event loop.
class TableExporter final : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        bool Written = false;
        QString Message;  // why the file was not written, naming it
    };

    explicit TableExporter(QObject* parent = nullptr);
    // Waits for a write still running, which reads the table and writes into this object.
    ~TableExporter() override;

    // Writes table as settings say; table must stay alive and unchanged until Finished, which
    // follows once, on this object's thread.
    void Start(const OpenTable& table, const ExportSettings& settings);
    bool Running() const { return worker_.joinable(); }
    // Waits until a write still running has ended.
    void Wait();
    Outcome TakeOutcome();

signals:
    void Progress(int permille);
    void Finished();

private:
    void Write(const OpenTable* table, ExportSettings settings);

    std::thread worker_;
    Outcome outcome_;
};

}  // namespace quillet
