#include "servertablereader.h"

#include "dberror.h"
#include "schema.h"
#include "serversession.h"

namespace db {

namespace {

int digitValue(char c, int base) {
    const int value = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : base;
    return value < base ? value : -1;
}

// The byte that a backslash sequence of COPY's text form stands for; `at` is on the
// character after the backslash and ends past the sequence.
char unescape(const char*& at, const char* end) {
    const char c = *at++;
    switch (c) {
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        case 'x':
        case '0':
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
        case '7': {
            const bool hex = c == 'x';
            const int base = hex ? 16 : 8;
            int value = hex ? 0 : c - '0';
            for (int n = hex ? 0 : 1; n < (hex ? 2 : 3) && at < end && digitValue(*at, base) >= 0;
                 ++n)
                value = value * base + digitValue(*at++, base);
            return char(value);
        }
        default:
            return c;
    }
}

}  // namespace

ServerTableReader::ServerTableReader(std::unique_ptr<ServerSession> session)
    : owned_(std::move(session)), session_(*owned_) {}

ServerTableReader::~ServerTableReader() {
    // Abandoned half way, as by a cancelled export.
    if (copying_)
        session_.cancelCopy();
}

void ServerTableReader::openTable(const QString& table) {
    // The program's columns only, without the hidden ones, in the order stored.
    const schema::Table* known = schema::tableNamed(table);
    if (!known)
        throw DbError(QStringLiteral("The program knows no table %1.").arg(table));
    const QString text =
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(known->columns.join(QStringLiteral(", ")), known->name, schema::kStoredOrder);
    const ServerResult layout =
        session_.exec(QStringLiteral("SELECT * FROM (%1) AS q LIMIT 0").arg(text));
    names_.clear();
    for (int column = 0; column < layout.columns(); ++column)
        names_.append(schema::spelling(layout.columnName(column)));
    values_.assign(std::size_t(names_.size()), std::nullopt);
    session_.startCopyOut(QStringLiteral("COPY (%1) TO STDOUT").arg(text));
    copying_ = true;
}

bool ServerTableReader::next() {
    if (!copying_)
        return false;
    char* row = nullptr;
    int length = 0;
    try {
        copying_ = session_.readCopyRow(row, length);
    } catch (...) {
        copying_ = false;
        throw;
    }
    if (copying_)
        decode(row, length);
    return copying_;
}

void ServerTableReader::decode(char* row, int length) {
    // Tabs part the values: a tab inside one comes escaped. Most values hold no
    // backslash and are taken where they lie; the others are unescaped in place.
    const char* in = row;
    const char* end = row + length;
    if (end > in && end[-1] == '\n')
        --end;
    for (auto& value : values_) {
        if (in > end)
            throw DbError(QStringLiteral("The server sent a row with too few values."));
        const char* at = in;
        while (at < end && *at != '\t' && *at != '\\')
            ++at;
        if (at == end || *at == '\t') {
            value = std::string_view(in, std::size_t(at - in));
            in = at + 1;  // past the tab
            continue;
        }
        if (end - in >= 2 && in[0] == '\\' && in[1] == 'N' && (end - in == 2 || in[2] == '\t')) {
            value = std::nullopt;
            in += 3;
            continue;
        }
        char* out = row + (at - row);
        while (at < end && *at != '\t') {
            if (*at == '\\' && at + 1 < end) {
                ++at;
                *out++ = unescape(at, end);
            } else {
                *out++ = *at++;
            }
        }
        value = std::string_view(in, std::size_t(out - in));
        in = at + 1;
    }
}

}  // namespace db
