#pragma once

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder that stands for the program's folder: a fresh database with
// the five tables (and, if asked, the sample lookup rows) and the header pictures.
class TestFolder {
public:
    enum Content { Empty, WithSamples };
    explicit TestFolder(Content content = Empty);

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return path() + QLatin1Char('/') + name; }
    QString dbPath() const { return file(QStringLiteral("Pelmar.mdb")); }

    // Runs statements on the database by a connection of the test's own.
    void exec(const QString& statement) const;
    // Every row of a query, each as its values as text.
    QList<QStringList> rows(const QString& query) const;
    QStringList column(const QString& query) const;

private:
    QTemporaryDir dir_;
};

// Copies the built header pictures into a folder.
void copyPictures(const QString& folder);
