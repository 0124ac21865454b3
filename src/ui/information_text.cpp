#include "ui/information_text.h"

namespace quillet {

QString InformationText(const QString& path, const OpenTable& table) {
    const LastUpdateDate& date = table.LastUpdate;
    // Joined piece by piece: a path may itself contain "%1".
    return QStringLiteral("File name: ") + path + QStringLiteral("\r\nVersion: ") +
           QString::fromStdString(table.VersionText) + QStringLiteral("\r\nTotal records: ") +
           QString::number(table.RecordCount()) + QStringLiteral("\r\nLast Update: ") + QString::number(date.Day) +
           u'/' + QString::number(date.Month) + u'/' + QString::number(date.Year) + QStringLiteral("\r\n");
}

}  // namespace quillet
