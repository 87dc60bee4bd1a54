#include "samplerows.h"

namespace db::samples {

const QStringList& states() {
    static const QStringList rows = {
        QStringLiteral("NSW"), QStringLiteral("VIC"), QStringLiteral("QLD"), QStringLiteral("SA"),
        QStringLiteral("WA"),  QStringLiteral("TAS"), QStringLiteral("NT"),  QStringLiteral("ACT"),
    };
    return rows;
}

const QStringList& streetExtensions() {
    static const QStringList rows = {
        QStringLiteral("ROAD"),    QStringLiteral("STREET"),    QStringLiteral("AVENUE"),
        QStringLiteral("DRIVE"),   QStringLiteral("COURT"),     QStringLiteral("CRESCENT"),
        QStringLiteral("PLACE"),   QStringLiteral("LANE"),      QStringLiteral("PARADE"),
        QStringLiteral("TERRACE"), QStringLiteral("CLOSE"),     QStringLiteral("HIGHWAY"),
        QStringLiteral("WAY"),     QStringLiteral("BOULEVARD"), QStringLiteral("GROVE"),
    };
    return rows;
}

const QStringList& propertyTypes() {
    static const QStringList rows = {
        QStringLiteral("BUSSINESS"),
        QStringLiteral("COMMERCIAL"),
        QStringLiteral("FARM/RURAL"),
        QStringLiteral("FLAT"),
        QStringLiteral("HOUSE"),
        QStringLiteral("HOUSE - DUPLEX"),
        QStringLiteral("HOUSE - TERRACE"),
        QStringLiteral("LAND"),
        QStringLiteral("UNIT / TOWNHOUSE"),
    };
    return rows;
}

const QList<Publication>& publications() {
    static const QList<Publication> rows = {
        {QStringLiteral("SYDNEY MORNING HERALD"), QStringLiteral("NSW")},
        {QStringLiteral("DAILY TELEGRAPH"), QStringLiteral("NSW")},
        {QStringLiteral("THE AGE"), QStringLiteral("VIC")},
        {QStringLiteral("HERALD SUN"), QStringLiteral("VIC")},
        {QStringLiteral("COURIER MAIL"), QStringLiteral("QLD")},
        {QStringLiteral("GOLD COAST BULLETIN"), QStringLiteral("QLD")},
        {QStringLiteral("THE ADVERTISER"), QStringLiteral("SA")},
        {QStringLiteral("THE WEST AUSTRALIAN"), QStringLiteral("WA")},
        {QStringLiteral("THE MERCURY"), QStringLiteral("TAS")},
        {QStringLiteral("THE EXAMINER"), QStringLiteral("TAS")},
        {QStringLiteral("NT NEWS"), QStringLiteral("NT")},
        {QStringLiteral("THE CANBERRA TIMES"), QStringLiteral("ACT")},
    };
    return rows;
}

}  // namespace db::samples
