#pragma once

#include <QString>
#include <optional>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace db {

// Reads the rows of one query forward, as the engine hands them over: the values
// are the stored UTF-8 bytes, with no conversion per value.
class TableReader {
public:
    TableReader() = default;
    virtual ~TableReader() = default;
    TableReader(const TableReader&) = delete;
    TableReader& operator=(const TableReader&) = delete;

    // Prepares the read of every row of one of the program's tables: the program's
    // columns, in the order the rows were stored. Throws DbError with the engine's text.
    virtual void openTable(const QString& table) = 0;
    virtual int columnCount() const = 0;
    // The column's name as the program spells it.
    virtual QString columnName(int column) const = 0;

    // Moves to the next row; false at the end. Throws DbError when the read fails.
    virtual bool next() = 0;
    // The value as text, valid until the next call of next(); nothing for a NULL.
    virtual std::optional<std::string_view> text(int column) const = 0;
};

// The reader of a database file, straight from SQLite with no copy per value. It
// opens the file on a connection of its own, so it can run while Conn is open on the
// same file, and reads whatever Conn can read; it never writes a row. It reads a
// part of kPartRows rows at a time, each as stored when its part is read: another
// desk's write waits for a part, never for the whole table.
class FileTableReader : public TableReader {
public:
    // Throws DbError when the file is missing or cannot be opened.
    explicit FileTableReader(const QString& path);
    ~FileTableReader() override;

    void openTable(const QString& table) override;
    int columnCount() const override;
    QString columnName(int column) const override;
    bool next() override;
    std::optional<std::string_view> text(int column) const override;

private:
    QString errorText(const QString& context) const;
    [[noreturn]] void fail(const QString& context) const;

    static constexpr int kPartRows = 5000;

    QString path_;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
    int inPart_ = 0;      // rows of the part being read
    long long last_ = 0;  // the rowid of the row read last
};

}  // namespace db
