#pragma once

#include <QString>
#include <optional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// Reads the rows of one query forward, straight from SQLite: the values are the
// stored UTF-8 bytes, with no copy or conversion per value. It opens the file on a
// read-only connection of its own, so it can run while Conn is open on the same file.
class TableReader {
public:
    // Throws DbError when the file is missing or cannot be opened.
    explicit TableReader(const QString& path);
    ~TableReader();
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    // Prepares the query; throws DbError with the engine's text.
    void open(const QString& query);
    int columnCount() const;
    QString columnName(int column) const;

    // Moves to the next row; false at the end. Throws DbError when the read fails.
    bool next();
    // The value as text, valid until the next call of next(); nothing for a NULL.
    std::optional<std::string_view> text(int column) const;

private:
    QString errorText(const QString& context) const;
    [[noreturn]] void fail(const QString& context) const;

    QString path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

}  // namespace db
