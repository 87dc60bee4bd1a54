#include "listingsmodel.h"

#include <QFont>
#include <QTimer>
#include <algorithm>

#include "base/utf8text.h"
#include "db/corrections.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "shell/blanks.h"

namespace listings {

namespace {

// So many pages stay at hand before they are read again: a few screens either way.
constexpr int kPagesKept = 20;

const db::StoredListing kNoListing;

}  // namespace

ListingsModel::ListingsModel(db::Store& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store) {}

void ListingsModel::loadFirstScreen() {
    beginResetModel();
    ids_.clear();
    forgetPages();
    editedRow_ = -1;
    edits_.clear();
    const QList<db::StoredListing> page = store_.newest(kPage);
    for (const db::StoredListing& row : page)
        ids_.append(row.id);
    allRead_ = page.size() < kPage;
    pages_.insert(0, page);
    endResetModel();
}

bool ListingsModel::readMore() {
    if (allRead_)
        return false;
    const QList<db::ListingId> older =
        store_.olderThan(ids_.isEmpty() ? 0 : ids_.last(), kIdentitiesRead);
    if (!older.isEmpty()) {
        beginInsertRows({}, int(ids_.size()), int(ids_.size() + older.size()) - 1);
        ids_ += older;
        endInsertRows();
    }
    allRead_ = older.size() < kIdentitiesRead;
    return !allRead_;
}

void ListingsModel::setQuery(const db::ListingQuery& query) {
    find_.reset();
    if (query.isPlain()) {
        query_ = query;
        loadFirstScreen();
        return;
    }
    const auto done = [this, query](const QList<db::ListingId>& ids, const QString& failure) {
        find_.reset();
        if (!failure.isEmpty()) {
            emit findFailed(failure);
            return;
        }
        beginResetModel();
        query_ = query;
        ids_ = ids;
        allRead_ = true;
        forgetPages();
        editedRow_ = -1;
        edits_.clear();
        endResetModel();
        emit found();
    };
    find_ = std::make_unique<BackgroundFind>(store_.finder(query), this, done);
}

void ListingsModel::cancelFind() {
    find_.reset();
}

int ListingsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(ids_.size());
}

int ListingsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(db::schema::dataColumns().size());
}

const db::StoredListing& ListingsModel::storedListing(int row) const {
    const int page = row / kPage;
    if (!pages_.contains(page)) {
        if (pages_.size() >= kPagesKept)
            forgetPages();
        const QList<db::ListingId> ids = ids_.mid(qsizetype(page) * kPage, kPage);
        // While another statement waits for the server the rows show empty and are
        // asked for again once it has its answer; a failed read is told by the window,
        // never thrown through the view.
        if (store_.busy()) {
            auto* model = const_cast<ListingsModel*>(this);
            store_.whenIdle(model, [model] {
                emit model->dataChanged(model->index(0, 0), model->index(model->rowCount() - 1,
                                                                         model->columnCount() - 1));
            });
            return kNoListing;
        }
        QList<db::StoredListing> values;
        QList<db::StoredListing> found;
        try {
            found = store_.read(ids);
        } catch (const base::Failure& failure) {
            QTimer::singleShot(0, this, [this, text = failure.text()] {
                emit const_cast<ListingsModel*>(this)->readFailed(text);
            });
        }
        // A row deleted elsewhere since the identities were read shows empty.
        qsizetype next = 0;
        for (db::ListingId id : ids) {
            if (next < found.size() && found.at(next).id == id)
                values.append(found.at(next++));
            else
                values.append({id, {}, {}});
        }
        pages_.insert(page, values);
    }
    const QList<db::StoredListing>& values = pages_[page];
    return row % kPage < values.size() ? values.at(row % kPage) : kNoListing;
}

namespace {

// A long text in a cell: its beginning, whole characters only. Laying out a text of
// a megabyte in a cell stops the window; the editor and the export take it whole.
QVariant shownInCell(const QString& value, int role) {
    constexpr int kShown = 300;
    if (role != Qt::DisplayRole || value.size() <= kShown)
        return value;
    const int cut = value.at(kShown - 1).isHighSurrogate() ? kShown - 1 : kShown;
    return value.left(cut) + QChar(0x2026);
}

// A value another program stored as bytes: told as such in the cell, its bytes
// (as the editor shows them) left as they are unless the operator changes them.
QVariant binaryCell(const QString& value, int role) {
    switch (role) {
        case Qt::DisplayRole:
            return QStringLiteral("[binary data, %1 bytes]").arg(base::toStoredBytes(value).size());
        case Qt::ToolTipRole:
            return QStringLiteral(
                "Another program stored this value as binary data, not as text. It is kept "
                "as it is unless you change this cell.");
        case Qt::FontRole: {
            QFont font;
            font.setItalic(true);
            return font;
        }
        default:
            return value;
    }
}

}  // namespace

QStringList ListingsModel::shownValues(int row) const {
    if (row == editedRow_)
        return edits_;
    QStringList values = storedValues(row);
    while (values.size() < columnCount())
        values.append(QString());
    return values;
}

QVariant ListingsModel::data(const QModelIndex& index, int role) const {
    const bool text = role == Qt::DisplayRole || role == Qt::EditRole;
    if (!index.isValid() || (!text && role != Qt::ToolTipRole && role != Qt::FontRole))
        return {};
    const int column = index.column();
    const bool edited = index.row() == editedRow_;
    // The view asks from its paint. A wait for the server runs the event loop, which
    // must not run inside a paint: there a page not at hand is read just after, and
    // its rows shown then. A file answers at once, without the event loop.
    if (!edited && store_.isServer() && !pages_.contains(index.row() / kPage)) {
        readSoon(index.row() / kPage);
        return {};
    }
    const db::StoredListing& stored = edited ? editedFrom_ : storedListing(index.row());
    const QString value = edited ? edits_.value(column) : stored.values.value(column);
    if (stored.binaryColumns.contains(column) && value == stored.values.value(column))
        return binaryCell(value, role);
    return text ? shownInCell(value, role) : QVariant();
}

void ListingsModel::readSoon(int page) const {
    if (pagesAsked_.contains(page))
        return;
    pagesAsked_.insert(page);
    QTimer::singleShot(0, this, [this, page] {
        pagesAsked_.remove(page);
        const int first = page * kPage;
        if (first >= rowCount())
            return;
        storedValues(first);
        const int last = std::min(first + kPage, rowCount()) - 1;
        emit const_cast<ListingsModel*>(this)->dataChanged(index(first, 0),
                                                           index(last, columnCount() - 1));
    });
}

QVariant ListingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    // The workbook's header row: the names of the columns of Data.
    if (orientation == Qt::Horizontal)
        return db::schema::dataColumns().value(section);
    // Each row is headed by its listing's number, which never names another listing.
    return ids_.value(section);
}

Qt::ItemFlags ListingsModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

bool ListingsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    if (editedRow_ != index.row()) {
        // The window stores a row before another is edited; this is only a safeguard.
        if (editedRow_ >= 0)
            return false;
        const QStringList shown = shownValues(index.row());
        if (shown.at(index.column()) == value.toString())
            return false;
        editedRow_ = index.row();
        edits_ = shown;
        editedFrom_ = storedListing(index.row());
    }
    edits_[index.column()] = value.toString();
    emit dataChanged(index, index);
    return true;
}

void ListingsModel::refreshRow(int row) {
    pages_.remove(row / kPage);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void ListingsModel::revertEdits() {
    const int row = editedRow_;
    editedRow_ = -1;
    edits_.clear();
    if (row >= 0)
        refreshRow(row);
}

bool ListingsModel::lacksCorrections() {
    if (!correctionsKnown_)
        correctionsKnown_ = store_.hasCorrections();
    return !correctionsKnown_;
}

void ListingsModel::addCorrections() {
    store_.addCorrections();
    // A view or another object of that name stops the table from being made.
    correctionsKnown_ = store_.hasCorrections();
    if (!correctionsKnown_)
        throw db::DbError(QStringLiteral("something else named Corrections is in its place"));
}

ListingsModel::Result ListingsModel::storeEdits() {
    if (editedRow_ < 0)
        return Result::Nothing;
    const int row = editedRow_;
    // Only the cells the operator changed are taken as typed ones are (trimmed, an
    // empty one "x"); every other cell keeps what is stored, NULL included.
    QStringList wanted = editedFrom_.values;
    for (int column = 0; column < edits_.size() && column < wanted.size(); ++column) {
        if (edits_.at(column) != editedFrom_.values.at(column))
            wanted[column] = shell::storedValue(edits_.at(column));
    }
    if (wanted == editedFrom_.values) {
        revertEdits();
        return Result::Nothing;
    }
    // Throws, and then the edits stay for another try.
    const db::Store::Outcome outcome = store_.correct(ids_.at(row), editedFrom_.values, wanted);
    revertEdits();
    return settle(row, outcome);
}

ListingsModel::Result ListingsModel::settle(int row, db::Store::Outcome outcome) {
    if (outcome == db::Store::Outcome::Stored)
        return Result::Stored;
    // Changed elsewhere: the row shows what is stored now, or goes when it is gone.
    if (storedValues(row).isEmpty())
        removeFromView(row);
    return Result::Changed;
}

void ListingsModel::removeFromView(int row) {
    beginRemoveRows({}, row, row);
    ids_.removeAt(row);
    // Every later row has moved up one place: its page is read again when shown.
    forgetPages();
    endRemoveRows();
}

ListingsModel::Result ListingsModel::undo(int row, const db::Store::Correction& correction) {
    if (row < 0 || row >= rowCount())
        return Result::Nothing;
    if (row == editedRow_)
        revertEdits();
    const db::Store::Outcome outcome =
        store_.correct(ids_.at(row), correction.after, correction.before);
    refreshRow(row);
    return settle(row, outcome);
}

ListingsModel::Result ListingsModel::deleteRow(int row) {
    if (row < 0 || row >= rowCount())
        return Result::Nothing;
    if (row == editedRow_)
        revertEdits();
    const db::Store::Outcome outcome = store_.remove(ids_.at(row), storedValues(row));
    if (outcome == db::Store::Outcome::Stored) {
        removeFromView(row);
        return Result::Stored;
    }
    refreshRow(row);
    return settle(row, outcome);
}

}  // namespace listings
