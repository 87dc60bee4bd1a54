#include "historytext.h"

#include <QStringList>

#include "db/schema.h"

namespace listings {

namespace {

// A value as the history shows it: quoted, a long one cut, nothing said as such.
QString shown(const QString& value) {
    constexpr int kShown = 60;
    if (value.isNull())
        return QStringLiteral("nothing");
    QString text = value.size() > kShown ? value.left(kShown) + QChar(0x2026) : value;
    text.replace(QLatin1Char('\n'), QChar(0x21B5));
    return QChar(0x201C) + text + QChar(0x201D);
}

QString changes(const db::Store::Correction& correction) {
    const QStringList& columns = db::schema::dataColumns();
    QStringList changed;
    for (int k = 0; k < columns.size(); ++k) {
        const QString before = correction.before.value(k), after = correction.after.value(k);
        if (before == after && before.isNull() == after.isNull())
            continue;
        changed.append(
            QStringLiteral("%1 from %2 to %3").arg(columns.at(k), shown(before), shown(after)));
    }
    return changed.isEmpty() ? QStringLiteral("no value changed")
                             : changed.join(QStringLiteral("; "));
}

}  // namespace

QString historyText(const QList<db::Store::Correction>& corrections) {
    if (corrections.isEmpty())
        return QStringLiteral("This listing has not been corrected since it was stored.");
    QStringList lines;
    for (const db::Store::Correction& correction : corrections) {
        const QString who =
            correction.by.isEmpty() ? QString() : QStringLiteral(" by ") + correction.by;
        lines.append(
            correction.change == QLatin1String("deleted")
                ? QStringLiteral("%1%2: deleted.").arg(correction.at, who)
                : QStringLiteral("%1%2: %3.").arg(correction.at, who, changes(correction)));
    }
    return QStringLiteral("Corrections of this listing, oldest first:\n\n") +
           lines.join(QStringLiteral("\n"));
}

}  // namespace listings
