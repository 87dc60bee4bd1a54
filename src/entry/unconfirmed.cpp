#include "unconfirmed.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include "db/listing.h"
#include "shell/action.h"

namespace entry {

namespace {

[[noreturn]] void failOn(const QString& path, const QString& reason) {
    throw shell::Failure(
        QStringLiteral("The file '%1', which keeps the listings whose Subnmit had no answer, "
                       "cannot be used: %2")
            .arg(path, reason));
}

void write(const QString& path, const QList<UnconfirmedListing>& listings) {
    if (listings.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            failOn(path, QStringLiteral("it cannot be removed"));
        return;
    }
    QJsonArray array;
    for (const UnconfirmedListing& listing : listings)
        array.append(
            QJsonObject{{QStringLiteral("token"), listing.token},
                        {QStringLiteral("values"), QJsonArray::fromStringList(listing.values)}});
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(QJsonObject{{QStringLiteral("listings"), array}}).toJson()) < 0 ||
        !file.commit())
        failOn(path, file.errorString());
}

}  // namespace

QString unconfirmedFile(const QString& folder) {
    return folder + QStringLiteral("/Unconfirmed.json");
}

QList<UnconfirmedListing> unconfirmedListings(const QString& folder) {
    const QString path = unconfirmedFile(folder);
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        failOn(path, file.errorString());
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (!document.isObject())
        failOn(path, error.errorString());
    QList<UnconfirmedListing> listings;
    for (const QJsonValue& entry : document.object().value(QStringLiteral("listings")).toArray()) {
        const QJsonObject object = entry.toObject();
        UnconfirmedListing listing{object.value(QStringLiteral("token")).toString(), {}};
        for (const QJsonValue& value : object.value(QStringLiteral("values")).toArray())
            listing.values.append(value.toString());
        if (listing.token.isEmpty() || listing.values.size() != db::kColumnCount)
            failOn(path, QStringLiteral("a listing in it is incomplete"));
        listings.append(listing);
    }
    return listings;
}

void keepUnconfirmed(const QString& folder, const UnconfirmedListing& listing) {
    QList<UnconfirmedListing> listings = unconfirmedListings(folder);
    listings.removeIf([&](const UnconfirmedListing& kept) { return kept.token == listing.token; });
    listings.append(listing);
    write(unconfirmedFile(folder), listings);
}

void forgetUnconfirmed(const QString& folder, const QString& token) {
    if (!QFile::exists(unconfirmedFile(folder)))
        return;
    QList<UnconfirmedListing> listings = unconfirmedListings(folder);
    if (listings.removeIf([&](const UnconfirmedListing& kept) { return kept.token == token; }))
        write(unconfirmedFile(folder), listings);
}

}  // namespace entry
