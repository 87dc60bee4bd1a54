#pragma once

#include <QStringList>
#include <memory>
#include <vector>

#include "tablereader.h"

namespace db {

class ServerSession;

// The reader of a server's table: the query runs as one COPY to the client, in
// text form, so every row comes from the one snapshot that the statement saw, and
// each row is decoded in place in libpq's buffer. It reads on a session of its own,
// so that the windows' statements go on while it reads.
class ServerTableReader : public TableReader {
public:
    explicit ServerTableReader(std::unique_ptr<ServerSession> session);
    ~ServerTableReader() override;

    void openTable(const QString& table) override;
    int columnCount() const override { return int(names_.size()); }
    QString columnName(int column) const override { return names_.value(column); }
    bool next() override;
    std::optional<std::string_view> text(int column) const override {
        return values_.at(std::size_t(column));
    }

private:
    void decode(char* row, int length);

    std::unique_ptr<ServerSession> owned_;
    ServerSession& session_;
    QStringList names_;
    std::vector<std::optional<std::string_view>> values_;
    bool copying_ = false;
};

}  // namespace db
