#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Lookup rows that let a new user enter a listing at once.
namespace db::samples {

struct Publication {
    QString name;
    QString state;
};

const QStringList& states();
const QStringList& streetExtensions();
const QStringList& propertyTypes();
const QList<Publication>& publications();

}  // namespace db::samples
