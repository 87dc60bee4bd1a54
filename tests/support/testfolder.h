#pragma once

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder that stands for the program's folder: a fresh database with
// the five tables (and, if asked, the sample lookup rows) and the header pictures.
// In the server variant of a test program (onServer()) the database is a fresh one
// on the test server, named by the folder's Pelmar.ini; there is no Pelmar.mdb.
class TestFolder {
public:
    enum Content { Empty, WithSamples };
    explicit TestFolder(Content content = Empty);

    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return path() + QLatin1Char('/') + name; }
    QString dbPath() const { return file(QStringLiteral("Pelmar.mdb")); }

    // The server database's connection text; empty on a file.
    const QString& server() const { return server_; }

    // Runs statements on the database by a connection of the test's own.
    void exec(const QString& statement) const;
    // Every row of a query, each as its values as text.
    QList<QStringList> rows(const QString& query) const;
    QStringList column(const QString& query) const;

    // A trigger on the table that drops every row an insert, update or delete
    // (`event`) meant to write, without an error; false takes it away again.
    void dropRows(const QString& table, const QString& event, bool on = true) const;

private:
    QTemporaryDir dir_;
    QString server_;
};

// Writes Pelmar.ini into a folder as given; returns its path.
QString writeSetting(const QString& folder, const QByteArray& content);
// Writes Pelmar.ini into a folder, naming a server.
void writeServerSetting(const QString& folder, const QString& conninfo);

// Copies the built header pictures into a folder.
void copyPictures(const QString& folder);
