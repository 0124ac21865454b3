#include "ui/record_details.h"

#include <QCoreApplication>

#include "table/cell_text.h"
#include "table/table_error.h"
#include "ui/decoded_text.h"
#include "ui/field_facts.h"

namespace quillet {

QString RecordDetailsHtml(const OpenTable& table, std::int64_t record, char decimalSeparator) {
    const auto tr = [](const char* text) { return QCoreApplication::translate("RecordDetails", text); };
    QString html = QStringLiteral("<h3>%1</h3>").arg(tr("Record %1 of %2").arg(record + 1).arg(table.RecordCount()));
    try {
        HoldRecord(table, record);
    } catch (const TableError& e) {
        return html + QStringLiteral("<p>%1</p>").arg(QString::fromLocal8Bit(e.what()).toHtmlEscaped());
    }
    if (table.IsDeleted(record)) html += QStringLiteral("<p><i>%1</i></p>").arg(tr("Deleted"));
    std::string bytes;
    for (int field = 0; field < table.ColumnCount; ++field) {
        const CellValue cell = table.Cell(record, field);
        bytes = cell.Kind == CellKind::Binary ? BinaryCellText(cell.ByteSize) : CellText(cell, decimalSeparator);
        QString value = Decoded(*table.TableCodePage, bytes);
        while (value.endsWith(u' ')) value.chop(1);
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        html += QStringLiteral("<p><b>%1</b> <small>%2</small><br><span style=\"white-space: pre-wrap\">%3</span></p>")
                    .arg(Decoded(*table.TableCodePage, table.FieldNames[static_cast<std::size_t>(field)]).toHtmlEscaped(),
                         FieldFacts(table, field).toHtmlEscaped(), value.toHtmlEscaped());
    }
    return html;
}

}  // namespace quillet
