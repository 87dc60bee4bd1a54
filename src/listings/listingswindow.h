#pragma once

#include <QTimer>

#include "exporttarget.h"
#include "listingsmodel.h"
#include "shell/childwindow.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QTableView;

namespace listings {

class ListingForm;

// "Listings": every stored listing in a table, newest first, with a search above
// it. A cell is corrected in place, and leaving the row stores the row's changes;
// Escape undoes them before that. Delete removes a listing entered twice, after a
// question. "Export…" writes the listings shown to a file. The operator may resize
// and maximise the window.
class ListingsWindow : public shell::ChildWindow {
    Q_OBJECT
public:
    // The target outlives the window: it keeps the folder chosen last.
    ListingsWindow(db::Store& store, ExportTarget& exportTarget);
    void formLoad() override;
    // The row being corrected is stored before the window goes.
    bool mayClose() override;

    ListingsModel& model() { return *model_; }
    QTableView* table() const { return table_; }
    ListingForm* form() const { return form_; }
    // Runs the search of the text in the box now instead of after the pause.
    void searchNow();
    // A click on a column's heading, Ctrl+Shift+S on one of its cells: sorts by the
    // column, the next time the other way.
    void sortBy(int column);
    // "Filter": only the listings whose column holds the current cell's value, with
    // the filters and search already set.
    void filterByCell();
    // "Clear": the search, every filter and the sort gone: every listing, newest first.
    void clearQuery();
    // Stores the row's changes, as leaving it does; false when they could not be.
    bool storeEdits();
    void deleteCurrent();
    // Ctrl+G: chooses the listing of that number, read into the table if it is not yet;
    // says so when the search does not find it or there is none.
    void goTo(db::ListingId number);
    // "Export…", Ctrl+E: the listings shown, in the table's order, to a file.
    void exportShown();
    ExportTarget& exportTarget() { return exportTarget_; }

    // The pause after the last typed key before the search runs.
    static constexpr int kSearchPauseMs = 300;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void rowLeft(int row);
    void undoEdits();
    // Hands the text of a cell still being edited to its row.
    void takeOpenEditor();
    // F5: reads the listings afresh (what other desks stored or changed), the same
    // listing chosen again once it is read.
    void refresh();
    void reselect();
    // A listing of that number that was deleted: offers to restore it. False when
    // there is no deleted listing of that number.
    bool offerRestore(db::ListingId number);

    // "History…": the chosen listing's corrections, when, who, from what to what.
    void showHistory();
    // Ctrl+C: the selected block as text a spreadsheet pastes into cells.
    void copyBlock();
    // Ctrl+V: one value into the current cell, as an edit.
    void pasteValue();
    // Makes sure a correction can be recorded; tells the operator when the table that
    // keeps them has just been made.
    void prepareCorrections();
    void showState(const QString& event = {});
    // A refusal or a failure: the state line tells the event, a message the rest.
    void warn(const QString& event, const QString& text);
    // What the search box, the filters and the sort ask for.
    db::ListingQuery wantedQuery() const;
    // Shows the listings the wanted query finds; the table waits, and says so, while
    // a finder works on it.
    void runQuery();
    void findingEnded();
    void awaitFinder();
    // The table's query once more, the listing kept_ chosen again once it is read.
    void readAgain(const QString& event);
    void cancelFinding();
    // Adds the older rows to the table without a search, from the event loop.
    void readRest();
    void readSoon();
    void readMore();

    ExportTarget& exportTarget_;
    ListingsModel* model_;
    QTableView* table_;
    ListingForm* form_;
    QLineEdit* search_;
    QLabel* state_;
    QProgressBar* progress_;
    QTimer pause_;
    QTimer findingShown_;
    std::unique_ptr<BackgroundFind> indexing_;  // a file's search index on its way
    QList<db::ColumnFilter> filters_;
    int sortColumn_ = -1;
    bool descending_ = false;
    bool reading_ = false;    // readMore is on its way
    db::ListingId kept_ = 0;  // the listing to choose again after a refresh
    int keptColumn_ = 0;
};

}  // namespace listings
