#include "dialect.h"

#include <QRegularExpression>

namespace db {

QString toSqlite(const QString& statement) {
    // Jet's "Delete * From T ..." names the columns to delete, which SQLite refuses.
    static const QRegularExpression jetDelete(QStringLiteral("^\\s*delete\\s+\\*\\s+from\\s+"),
                                              QRegularExpression::CaseInsensitiveOption);
    QString text = statement;
    return text.replace(jetDelete, QStringLiteral("DELETE FROM "));
}

}  // namespace db
