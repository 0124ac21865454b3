#pragma once

#include <QDialog>
#include <QStringList>
#include <cstdint>
#include <vector>

class QListWidget;

namespace quillet {

// "Columns": which of the open table's listed columns the next conversions write. Shows the
// choice stored last; selection() is what the user marked, for the caller to store on OK.
class ColumnsDialog final : public QDialog {
    Q_OBJECT
public:
    // selected holds one flag per name; a missing flag counts as selected.
    ColumnsDialog(const QStringList& names, const std::vector<std::uint8_t>& selected, QWidget* parent = nullptr);

    std::vector<std::uint8_t> selection() const;
    void markAll(bool checked);

private:
    QListWidget* list_;
};

}  // namespace quillet
