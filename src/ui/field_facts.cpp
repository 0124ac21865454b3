#include "ui/field_facts.h"

#include <QCoreApplication>

namespace quillet {
namespace {

QString TypeName(const OpenTable& table, int field, char type) {
    switch (type) {
    case 'C': return QCoreApplication::translate("FieldFacts", "Character");
    case 'N': return QCoreApplication::translate("FieldFacts", "Numeric");
    case 'F': return QCoreApplication::translate("FieldFacts", "Float");
    case 'D': return QCoreApplication::translate("FieldFacts", "Date");
    case 'L': return QCoreApplication::translate("FieldFacts", "Logical");
    case 'M': return QCoreApplication::translate("FieldFacts", "Memo");
    case 'I': return QCoreApplication::translate("FieldFacts", "Integer");
    case 'Y': return QCoreApplication::translate("FieldFacts", "Currency");
    case 'T': return QCoreApplication::translate("FieldFacts", "Date and time");
    case '@': return QCoreApplication::translate("FieldFacts", "Timestamp");
    case 'O': return QCoreApplication::translate("FieldFacts", "Double");
    case '+': return QCoreApplication::translate("FieldFacts", "Autoincrement");
    case 'G': return QCoreApplication::translate("FieldFacts", "General");
    case 'P': return QCoreApplication::translate("FieldFacts", "Picture");
    case 'V': return QCoreApplication::translate("FieldFacts", "Varchar");
    case 'Q': return QCoreApplication::translate("FieldFacts", "Varbinary");
    case 'W': return QCoreApplication::translate("FieldFacts", "Blob");
    case 'B': {
        // Visual FoxPro's double and dBASE's binary memo share the letter; the reader knows which.
        const bool number = table.Fields[static_cast<std::size_t>(field)].Storage == FieldStorage::Number;
        return number ? QCoreApplication::translate("FieldFacts", "Double") : QCoreApplication::translate("FieldFacts", "Binary");
    }
    default: return QCoreApplication::translate("FieldFacts", "Unknown");
    }
}

}  // namespace

QString FieldFacts(const OpenTable& table, int field) {
    const FieldDescriptor& d = table.FieldDescriptors[static_cast<std::size_t>(field)];
    const int decimals = static_cast<unsigned char>(d.Decimals);
    QString facts = QCoreApplication::translate("FieldFacts", "%1 (%2), length %3")
                        .arg(TypeName(table, field, d.Type), QString::fromLatin1(&d.Type, 1))
                        .arg(static_cast<int>(d.Length));
    if (decimals != 0 || d.Type == 'N' || d.Type == 'F') {
        facts += decimals == 1 ? QCoreApplication::translate("FieldFacts", ", 1 decimal")
                               : QCoreApplication::translate("FieldFacts", ", %1 decimals").arg(decimals);
    }
    return facts;
}

}  // namespace quillet
