#include "listingswindow.h"

#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>

#include "celleditor.h"
#include "db/dberror.h"
#include "db/schema.h"
#include "exportshown.h"
#include "historytext.h"
#include "listingform.h"
#include "shell/action.h"
#include "shell/desk.h"
#include "shell/messages.h"
#include "shell/textfields.h"
#include "shell/texts.h"

namespace listings {

namespace {

using shell::ControlSpec;
using shell::Kind;

// The places only give the first size; the layout keeps them as the window grows.
const ControlSpec kControls[] = {
    {.name = "Picture1", .kind = Kind::Picture, .width = 13500, .height = 680},
    {.name = "Label1",
     .kind = Kind::Label,
     .caption = shell::kBanner,
     .top = 700,
     .width = 13500,
     .height = 400,
     .look = shell::banner()},
    {.name = "Label2",
     .kind = Kind::Label,
     .caption = "&Search:",
     .top = 1200,
     .width = 900,
     .height = 300},
    {.name = "Text1",
     .kind = Kind::TextBox,
     .left = 900,
     .top = 1200,
     .width = 4000,
     .height = 300,
     .tab = 0,
     .buddy = "Label2"},
    {.name = "Label3", .kind = Kind::Label, .left = 5000, .top = 1200, .width = 900, .height = 300},
    {.name = "Command4",
     .kind = Kind::Button,
     .caption = "&Refresh",
     .left = 5950,
     .top = 1200,
     .width = 1000,
     .height = 360,
     .tab = 2},
    {.name = "Command6",
     .kind = Kind::Button,
     .caption = "F&orm",
     .left = 5950,
     .top = 1200,
     .width = 1000,
     .height = 360,
     .tab = 3},
    {.name = "Command5",
     .kind = Kind::Button,
     .caption = "&History…",
     .left = 7000,
     .top = 1200,
     .width = 1000,
     .height = 360,
     .tab = 4},
    {.name = "Command1",
     .kind = Kind::Button,
     .caption = "&Delete",
     .left = 8100,
     .top = 1200,
     .width = 1500,
     .height = 360,
     .tab = 5},
    {.name = "Command3",
     .kind = Kind::Button,
     .caption = "E&xport…",
     .left = 9700,
     .top = 1200,
     .width = 1500,
     .height = 360,
     .tab = 6},
    {.name = "Command7",
     .kind = Kind::Button,
     .caption = "F&ilter",
     .left = 9700,
     .top = 1200,
     .width = 1000,
     .height = 360,
     .tab = 7},
    {.name = "Command8",
     .kind = Kind::Button,
     .caption = "C&lear",
     .left = 9700,
     .top = 1200,
     .width = 1000,
     .height = 360,
     .tab = 8},
    {.name = "Command9",
     .kind = Kind::Button,
     .caption = "Cancel",
     .left = 5000,
     .top = 1200,
     .width = 1000,
     .height = 360,
     .tab = 1},
    {.name = "Command2",
     .kind = Kind::Button,
     .caption = "Back Main Menu",
     .left = 11300,
     .top = 1200,
     .width = 1800,
     .height = 360,
     .tab = 9},
};

const QKeySequence kExportKey(Qt::CTRL | Qt::Key_E);
const QKeySequence kSortKey(Qt::CTRL | Qt::SHIFT | Qt::Key_S);

// How long a query's finder works before its progress shows, with Cancel.
constexpr int kShowFindingMs = 1000;

// Tab moves between the cells: Ctrl+Tab (Ctrl+Shift+Tab) leaves the table, as Qt's
// other views that keep Tab for themselves have it. The frame's work area takes
// Ctrl+Tab to switch windows before the table sees the key, so this looks at every
// key first, and takes only that one, only in the table.
class LeaveTableKey : public QObject {
public:
    LeaveTableKey(QWidget* table, QObject* parent) : QObject(parent), table_(table) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != table_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool forward = key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier;
        const bool back = key->key() == Qt::Key_Backtab &&
                          key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        if (!forward && !back)
            return false;
        QWidget* next = forward ? table_->nextInFocusChain() : table_->previousInFocusChain();
        while (next != table_ &&
               !(next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)))
            next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
        next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }

private:
    QWidget* table_;
};

constexpr double kWidth = 13500;
constexpr double kHeight = 9000;

QString listingSummary(const QStringList& values) {
    // Street number, street and suburb, then the publication and its date.
    return QStringLiteral("%1 %2, %3 (%4, %5)")
        .arg(values.value(4), values.value(5), values.value(6), values.value(1), values.value(2));
}

}  // namespace

ListingsWindow::ListingsWindow(db::Store& store, ExportTarget& exportTarget)
    : ChildWindow(QStringLiteral("Listings"), QStringLiteral("Listings")),
      exportTarget_(exportTarget),
      model_(new ListingsModel(store, this)),
      table_(new QTableView(this)),
      form_(new ListingForm(*model_, this)),
      progress_(new QProgressBar(this)) {
    setResizable();
    build(kControls);
    search_ = controls_.get<QLineEdit>(QStringLiteral("Text1"));
    state_ = controls_.get<QLabel>(QStringLiteral("Label3"));
    table_->setObjectName(QStringLiteral("Table1"));
    table_->setAccessibleName(QStringLiteral("Listings"));
    table_->setModel(model_);
    table_->setItemDelegate(new CellEditor(table_));
    table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                            QAbstractItemView::DoubleClicked);
    // A block of cells may be selected, for copying; one row is corrected at a time.
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Rows of one height: a million of them cost the header nothing to lay out.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setDefaultSectionSize(110);
    table_->horizontalHeader()->setSectionsClickable(true);
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { shell::runAction(this, [this, column] { sortBy(column); }); });
    // A query's finder at work: a bar that moves, not a count it cannot know.
    progress_->setObjectName(QStringLiteral("Progress1"));
    progress_->setAccessibleName(QStringLiteral("Finding the listings"));
    progress_->setRange(0, 0);
    progress_->setMaximumWidth(160);
    progress_->hide();
    findingShown_.setSingleShot(true);
    findingShown_.setInterval(kShowFindingMs);
    connect(&findingShown_, &QTimer::timeout, this, [this] {
        progress_->show();
        controls_.widget(QStringLiteral("Command9"))->show();
    });
    connect(model_, &ListingsModel::found, this, [this] {
        findingEnded();
        reselect();
        showState();
    });
    connect(model_, &ListingsModel::findFailed, this, [this](const QString& text) {
        findingEnded();
        warn(QStringLiteral("The search failed."),
             QStringLiteral("The listings could not be found: %1\nThe table shows "
                            "what it showed before, and nothing was changed. Try "
                            "again once the database answers.")
                 .arg(text));
    });
    controls_.widget(QStringLiteral("Command9"))->hide();
    connect(controls_.get<QPushButton>(QStringLiteral("Command9")), &QPushButton::clicked, this,
            [this] { cancelFinding(); });
    connect(controls_.get<QPushButton>(QStringLiteral("Command7")), &QPushButton::clicked, this,
            shell::guarded(this, [this] { filterByCell(); }));
    connect(controls_.get<QPushButton>(QStringLiteral("Command8")), &QPushButton::clicked, this,
            shell::guarded(this, [this] { clearQuery(); }));
    controls_.widget(QStringLiteral("Command7"))
        ->setToolTip(QStringLiteral("Show only the listings that hold the chosen cell's value "
                                    "in its column"));
    controls_.widget(QStringLiteral("Command8"))
        ->setToolTip(QStringLiteral("Clear the search, the filters and the sort"));
    auto* sortKey = new QShortcut(kSortKey, this);
    sortKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(sortKey, &QShortcut::activated, this,
            shell::guarded(this, [this] { sortBy(std::max(table_->currentIndex().column(), 0)); }));
    table_->installEventFilter(this);
    new LeaveTableKey(table_, this);
    search_->installEventFilter(this);
    QWidget::setTabOrder(search_, table_);
    QWidget::setTabOrder(table_, controls_.widget(QStringLiteral("Command4")));
    layOut();

    pause_.setSingleShot(true);
    pause_.setInterval(kSearchPauseMs);
    // Typed while another statement waits for the server: searched after it.
    connect(&pause_, &QTimer::timeout, this, [this] {
        model_->store().whenIdle(this, shell::guarded(this, [this] { searchNow(); }));
    });
    connect(search_, &QLineEdit::textChanged, this, [this] { pause_.start(); });
    connect(model_, &ListingsModel::readFailed, this, [this](const QString& text) {
        warn(QStringLiteral("Some listings could not be read."),
             QStringLiteral("Some listings could not be read from the database, so "
                            "their rows show empty; nothing was changed. Search again "
                            "to read them again.\n\n%1")
                 .arg(text));
    });
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (previous.isValid() && current.row() != previous.row())
                    shell::runAction(this, [this, row = previous.row()] { rowLeft(row); });
                form_->showRow(table_->currentIndex().row());
            });
    // The form follows the table: what another desk changed, what a correction stored.
    const auto follow = [this] {
        if (form_->isVisible())
            form_->showRow(table_->currentIndex().row());
    };
    connect(model_, &QAbstractItemModel::dataChanged, this, follow);
    connect(model_, &QAbstractItemModel::modelReset, this, follow);
    form_->hide();
    connect(form_, &ListingForm::step, this, [this](int by) {
        const int row = std::clamp(table_->currentIndex().row() + by, 0, model_->rowCount() - 1);
        if (row >= 0)
            table_->setCurrentIndex(
                model_->index(row, std::max(table_->currentIndex().column(), 0)));
    });
    connect(controls_.get<QPushButton>(QStringLiteral("Command6")), &QPushButton::clicked, this,
            [this] {
                form_->setVisible(!form_->isVisible());
                form_->showRow(table_->currentIndex().row());
            });
    connect(controls_.get<QPushButton>(QStringLiteral("Command5")), &QPushButton::clicked, this,
            shell::guarded(this, [this] { showHistory(); }));
    connect(controls_.get<QPushButton>(QStringLiteral("Command1")), &QPushButton::clicked, this,
            shell::guarded(this, [this] { deleteCurrent(); }));
    auto* exportButton = controls_.get<QPushButton>(QStringLiteral("Command3"));
    exportButton->setToolTip(QStringLiteral("Export the listings shown to a file (Ctrl+E)"));
    const auto exportHandler = shell::guarded(this, [this] { exportShown(); });
    connect(exportButton, &QPushButton::clicked, this, exportHandler);
    auto* exportKey = new QShortcut(kExportKey, this);
    exportKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(exportKey, &QShortcut::activated, this, exportHandler);
    auto* refreshButton = controls_.get<QPushButton>(QStringLiteral("Command4"));
    refreshButton->setToolTip(
        QStringLiteral("Show what other desks stored or changed meanwhile (F5)"));
    const auto refreshHandler = shell::guarded(this, [this] { refresh(); });
    connect(refreshButton, &QPushButton::clicked, this, refreshHandler);
    auto* goToKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    goToKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(goToKey, &QShortcut::activated, this, shell::guarded(this, [this] {
                bool given = false;
                const qlonglong number =
                    QInputDialog::getText(this, QStringLiteral("Go To Listing"),
                                          QStringLiteral("Listing &number:"))
                        .trimmed()
                        .toLongLong(&given);
                if (given)
                    goTo(number);
            }));
    auto* refreshKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    refreshKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(refreshKey, &QShortcut::activated, this, refreshHandler);
    connect(controls_.get<QPushButton>(QStringLiteral("Command2")), &QPushButton::clicked, this,
            shell::guarded(this, [this] {
                // The row being corrected is left too: its changes are stored first.
                if (storeEdits())
                    closeWindow();
            }));
}

void ListingsWindow::layOut() {
    auto* picture = controls_.get<QLabel>(QStringLiteral("Picture1"));
    picture->setScaledContents(true);
    picture->setFixedHeight(picture->height());
    // The commands on one line, the state under them: a long search and its filters
    // are told in full, and at 1024 x 768 no button is pushed over the box.
    auto* bar = new QHBoxLayout;
    for (const char* name : {"Label2", "Text1", "Command7", "Command8", "", "Command4", "Command6",
                             "Command5", "Command1", "Command3", "Command2"}) {
        if (!*name)
            bar->addStretch(1);
        else
            bar->addWidget(controls_.widget(QLatin1String(name)));
    }
    auto* stateLine = new QHBoxLayout;
    stateLine->addWidget(state_, 1);
    stateLine->addWidget(progress_);
    stateLine->addWidget(controls_.widget(QStringLiteral("Command9")));
    search_->setMinimumWidth(200);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(picture);
    column->addWidget(controls_.widget(QStringLiteral("Label1")));
    auto* inner = new QVBoxLayout;
    inner->setContentsMargins(8, 0, 8, 8);
    inner->addLayout(bar);
    inner->addLayout(stateLine);
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(table_);
    split->addWidget(form_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    inner->addWidget(split, 1);
    column->addLayout(inner, 1);
}

void ListingsWindow::formLoad() {
    setSizeTwips(kWidth, kHeight);
    placeOnScreen();
    // A table of 76 columns wants all the room there is.
    fillWorkArea();
    showHeaderPicture(controls_.get<QLabel>(QStringLiteral("Picture1")),
                      QStringLiteral("head1.jpg"));
    // The newest rows at once; the older ones once the window is on the screen.
    model_->loadFirstScreen();
    readRest();
    // A file made before the search's index gets it now, on a thread of its own;
    // searches read the whole table until it is there, or if it cannot be made.
    try {
        if (auto maker = model_->store().searchIndexMaker())
            indexing_ = std::make_unique<BackgroundFind>(
                std::move(maker), this,
                [this](const QList<db::ListingId>&, const QString&) { indexing_.reset(); });
    } catch (const db::DbError&) {
    }
}

void ListingsWindow::readRest() {
    if (model_->complete()) {
        showState();
        return;
    }
    if (reading_)
        return;
    state_->setText(model_->search().isEmpty() ? QStringLiteral("Reading the listings\u2026")
                                               : QStringLiteral("Searching\u2026"));
    reading_ = true;
    readSoon();
}

void ListingsWindow::readSoon() {
    // From the event loop, so that the window answers between the parts; after the
    // statement that waits for the server now, if one does (a page the view asked for).
    QTimer::singleShot(0, this, [this] {
        model_->store().whenIdle(this, shell::guarded(this, [this] { readMore(); }));
    });
}

void ListingsWindow::readMore() {
    // A failed read ends the reading with the rows read so far, and says why.
    reading_ = false;
    const auto again = qScopeGuard([this] { reselect(); });
    if (!model_->readMore()) {
        showState();
        return;
    }
    reading_ = true;
    readSoon();
}

void ListingsWindow::warn(const QString& event, const QString& text) {
    showState(event);
    messages().inform(text, shell::Icon::Exclamation);
}

void ListingsWindow::showState(const QString& event) {
    const int count = model_->rowCount();
    // Grouped as the desk's language writes numbers: "1,000,000" is read at a glance.
    const QString number = QLocale().toString(count);
    const db::ListingQuery& query = model_->query();
    QStringList conditions;
    if (!query.search.isEmpty())
        conditions.append(QStringLiteral("\u201c%1\u201d").arg(query.search));
    for (const db::ColumnFilter& filter : query.filters)
        conditions.append(QStringLiteral("%1 \u201c%2\u201d")
                              .arg(db::schema::dataColumns().value(filter.column), filter.value));
    QString text = conditions.isEmpty()
                       ? QStringLiteral("%1 listing%2").arg(number, count == 1 ? "" : "s")
                       : QStringLiteral("%1 %2 %3")
                             .arg(number, count == 1 ? "listing matches" : "listings match",
                                  conditions.join(QStringLiteral(", ")));
    if (query.sortColumn >= 0)
        text += QStringLiteral(", sorted by %1 (%2)")
                    .arg(db::schema::dataColumns().value(query.sortColumn),
                         query.descending ? QStringLiteral("Z to A") : QStringLiteral("A to Z"));
    if (!event.isEmpty())
        text = event + QStringLiteral(" ") + text;
    // A label that changes its text tells a screen reader so. A screen reader speaks
    // what changes on the control that has the focus, so the search box and the
    // table, where the operator works, carry the state as their description too.
    state_->setText(text + QLatin1Char('.'));
    search_->setAccessibleDescription(state_->text());
    table_->setAccessibleDescription(state_->text());
}

void ListingsWindow::refresh() {
    if (!storeEdits())
        return;
    const QModelIndex current = table_->currentIndex();
    kept_ = current.isValid() ? model_->identities().value(current.row()) : 0;
    keptColumn_ = current.column();
    readAgain(QStringLiteral("Refreshed."));
}

void ListingsWindow::goTo(db::ListingId number) {
    if (!storeEdits())
        return;
    // The rest of the table first: the listing may be among the rows not read yet.
    while (model_->identities().indexOf(number) < 0 && model_->readMore()) {
    }
    const int row = int(model_->identities().indexOf(number));
    if (row < 0 && offerRestore(number))
        return;
    if (row < 0) {
        messages().inform(
            model_->search().isEmpty()
                ? QStringLiteral("There is no listing number %1: it may have been deleted, or "
                                 "the number was mistyped. The table is as it was.")
                      .arg(number)
                : QStringLiteral("Listing number %1 is not among the listings the search "
                                 "finds. Clear the search (Escape in the search box) and go "
                                 "to it again.")
                      .arg(number),
            shell::Icon::Information);
        return;
    }
    table_->setCurrentIndex(model_->index(row, std::max(table_->currentIndex().column(), 0)));
    table_->scrollTo(table_->currentIndex());
    table_->setFocus();
    showState();
}

bool ListingsWindow::offerRestore(db::ListingId number) {
    if (model_->lacksCorrections())
        return false;
    const QList<db::Store::Correction> history = model_->store().history(number);
    if (history.isEmpty() || history.last().change != QLatin1String("deleted"))
        return false;
    const db::Store::Correction& deletion = history.last();
    const QString by = deletion.by.isEmpty() ? QString() : QStringLiteral(" by ") + deletion.by;
    if (!messages().askYes(QStringLiteral("Listing number %1 was deleted on %2%3:\n\n%4\n\n"
                                          "Restore it, with the values it had then?")
                               .arg(number)
                               .arg(deletion.at, by, listingSummary(deletion.before)),
                           shell::Answer::No))
        return true;
    if (model_->store().restore(number, deletion.before) == db::Store::Outcome::Changed) {
        warn(QStringLiteral("Restore refused."),
             QStringLiteral("Listing number %1 was restored or changed at another "
                            "desk meanwhile, so it was not restored again. Press "
                            "F5 to see the listings as they are stored now.")
                 .arg(number));
        return true;
    }
    // Shown where the table's order puts it, chosen.
    kept_ = number;
    keptColumn_ = std::max(table_->currentIndex().column(), 0);
    readAgain(QStringLiteral("Listing restored."));
    return true;
}

void ListingsWindow::reselect() {
    if (kept_ == 0)
        return;
    const int row = int(model_->identities().indexOf(kept_));
    if (row < 0) {
        if (model_->complete())
            kept_ = 0;  // gone: deleted at another desk
        return;
    }
    kept_ = 0;
    table_->setCurrentIndex(model_->index(row, std::max(keptColumn_, 0)));
    table_->scrollTo(table_->currentIndex());
}

void ListingsWindow::showHistory() {
    const QModelIndex cell = table_->currentIndex();
    if (!cell.isValid()) {
        messages().inform(
            QStringLiteral("Choose the listing whose corrections you want to see in the table "
                           "first."));
        return;
    }
    if (model_->lacksCorrections()) {
        messages().inform(historyText({}));
        return;
    }
    QList<db::Store::Correction> corrections;
    try {
        corrections = model_->store().history(model_->identities().value(cell.row()));
    } catch (const db::DbError& error) {
        messages().inform(
            QStringLiteral("The corrections of this listing could not be read: %1\nNothing was "
                           "changed. On a server, the administrator lets a desk read them by "
                           "running pelmar-newdb --desk for its login again.")
                .arg(error.text()),
            shell::Icon::Exclamation);
        return;
    }
    // The latest change may be taken back, if it was a correction and nothing has
    // changed the listing since.
    if (corrections.isEmpty() || corrections.last().change != QLatin1String("corrected")) {
        messages().inform(historyText(corrections));
        return;
    }
    if (!messages().askYes(historyText(corrections) +
                               QStringLiteral("\n\nUndo the latest correction, putting back "
                                              "the values it replaced?"),
                           shell::Answer::No) ||
        !storeEdits())
        return;
    if (model_->undo(cell.row(), corrections.last()) == ListingsModel::Result::Changed) {
        warn(QStringLiteral("Undo refused."),
             QStringLiteral("This listing was changed at another desk after its latest "
                            "correction, so the correction was not undone. The window shows "
                            "the listing as it is stored now; correct it by hand if needed."));
        return;
    }
    showState(QStringLiteral("Correction undone."));
}

void ListingsWindow::copyBlock() {
    // Tab between the cells of a row and a line break between rows, as a spreadsheet
    // pastes them into cells; a value's own tabs and line breaks would split it, so
    // such a value goes between quotes, as spreadsheets write it.
    const QModelIndexList cells = table_->selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return;
    int top = cells.first().row(), bottom = top, left = cells.first().column(), right = left;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        const QStringList values = model_->shownValues(row);
        QStringList line;
        for (int column = left; column <= right; ++column) {
            QString value = values.value(column);
            if (value.contains(QLatin1Char('\t')) || value.contains(QLatin1Char('\n')) ||
                value.contains(QLatin1Char('"')))
                value = QLatin1Char('"') + value.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                        QLatin1Char('"');
            line.append(value);
        }
        lines.append(line.join(QLatin1Char('\t')));
    }
    QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    showState(QStringLiteral("Copied %1 by %2 cells.").arg(bottom - top + 1).arg(right - left + 1));
}

void ListingsWindow::pasteValue() {
    // One value into the current cell, as if typed over it: stored when the row is left.
    const QModelIndex cell = table_->currentIndex();
    if (!cell.isValid())
        return;
    QString value = shell::asTyped(QGuiApplication::clipboard()->text());
    // Copied from a spreadsheet, a single cell ends in a line break of its own.
    if (value.endsWith(QLatin1String("\r\n")))
        value.chop(2);
    else if (value.endsWith(QLatin1Char('\n')))
        value.chop(1);
    if (model_->editedRow() >= 0 && model_->editedRow() != cell.row() && !storeEdits())
        return;
    model_->setData(cell, value, Qt::EditRole);
}

void ListingsWindow::searchNow() {
    pause_.stop();
    runQuery();
}

db::ListingQuery ListingsWindow::wantedQuery() const {
    // Blanks typed or pasted around the text are no part of what is looked for.
    return {.search = search_->text().trimmed(),
            .filters = filters_,
            .sortColumn = sortColumn_,
            .descending = descending_};
}

void ListingsWindow::runQuery() {
    if (!storeEdits())
        return;
    const db::ListingQuery query = wantedQuery();
    table_->horizontalHeader()->setSortIndicatorShown(query.sortColumn >= 0);
    if (query.sortColumn >= 0)
        table_->horizontalHeader()->setSortIndicator(
            query.sortColumn, query.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    model_->setQuery(query);
    if (!model_->finding()) {
        readRest();
        return;
    }
    awaitFinder();
}

void ListingsWindow::awaitFinder() {
    // The rows of the last query stay in view, but not to be corrected: they are
    // about to go.
    table_->setEnabled(false);
    const db::ListingQuery& asked = wantedQuery();
    state_->setText(asked.sortColumn >= 0 && asked.search.isEmpty() && asked.filters.isEmpty()
                        ? QStringLiteral("Sorting\u2026")
                        : QStringLiteral("Searching\u2026"));
    findingShown_.start();
}

void ListingsWindow::readAgain(const QString& event) {
    model_->setQuery(model_->query());
    if (model_->finding()) {
        awaitFinder();
        return;
    }
    reselect();
    readRest();
    showState(event);
}

void ListingsWindow::findingEnded() {
    findingShown_.stop();
    progress_->hide();
    QWidget* cancel = controls_.widget(QStringLiteral("Command9"));
    const bool hadFocus = cancel->hasFocus();
    cancel->hide();
    table_->setEnabled(true);
    if (hadFocus)
        table_->setFocus();
}

void ListingsWindow::cancelFinding() {
    if (!model_->finding())
        return;
    model_->cancelFind();
    findingEnded();
    // What is asked for again follows what the table shows.
    const db::ListingQuery shown = model_->query();
    filters_ = shown.filters;
    sortColumn_ = shown.sortColumn;
    descending_ = shown.descending;
    table_->horizontalHeader()->setSortIndicatorShown(sortColumn_ >= 0);
    showState(QStringLiteral("Search cancelled; the table is as it was."));
}

void ListingsWindow::sortBy(int column) {
    if (column < 0 || column >= model_->columnCount())
        return;
    descending_ = column == sortColumn_ && !descending_;
    sortColumn_ = column;
    runQuery();
}

void ListingsWindow::filterByCell() {
    const QModelIndex cell = table_->currentIndex();
    if (!cell.isValid()) {
        messages().inform(
            QStringLiteral("Choose a cell in the table first: the filter keeps the "
                           "listings that hold its value in its column."));
        return;
    }
    const db::ColumnFilter filter{cell.column(),
                                  model_->shownValues(cell.row()).value(cell.column())};
    // One filter a column: a second value in it replaces the first.
    filters_.removeIf([&](const db::ColumnFilter& f) { return f.column == filter.column; });
    filters_.append(filter);
    runQuery();
}

void ListingsWindow::clearQuery() {
    filters_.clear();
    sortColumn_ = -1;
    descending_ = false;
    // Clearing the box starts its pause; the query runs now instead.
    const QSignalBlocker quiet(search_);
    search_->clear();
    searchNow();
    showState(QStringLiteral("Search, filters and sort cleared."));
}

void ListingsWindow::prepareCorrections() {
    if (!model_->lacksCorrections())
        return;
    try {
        model_->addCorrections();
    } catch (const db::DbError& error) {
        throw db::DbError(
            QStringLiteral("This database has no table Corrections, which keeps every "
                           "correction and deletion, and it could not be made: %1\n"
                           "Nothing was changed. On a server the administrator adds it with "
                           "pelmar-newdb --corrections --server.")
                .arg(error.text()));
    }
    messages().inform(
        QStringLiteral("This database had no table Corrections. It has been made now, "
                       "and from now on every correction and deletion of a listing is "
                       "kept in it."),
        shell::Icon::Information);
}

bool ListingsWindow::mayClose() {
    return storeEdits();
}

void ListingsWindow::takeOpenEditor() {
    // A button pressed through the accessibility interface leaves the focus where it
    // is: a cell still open would keep its text to itself and lose it with the window.
    const QModelIndex cell = table_->currentIndex();
    QWidget* editor = table_->indexWidget(cell);
    if (!editor)
        return;
    table_->itemDelegate()->setModelData(editor, model_, cell);
    QMetaObject::invokeMethod(
        table_, "closeEditor", Q_ARG(QWidget*, editor),
        Q_ARG(QAbstractItemDelegate::EndEditHint, QAbstractItemDelegate::NoHint));
}

bool ListingsWindow::storeEdits() {
    takeOpenEditor();
    const int row = model_->editedRow();
    if (row < 0)
        return true;
    try {
        prepareCorrections();
        if (model_->storeEdits() == ListingsModel::Result::Changed) {
            warn(QStringLiteral("Correction refused."),
                 QStringLiteral("This listing was changed or deleted at another desk after it was "
                                "shown here, so your correction was not stored. The window now "
                                "shows the listing as it is stored; make the correction again if "
                                "it is still needed."));
        } else {
            showState(QStringLiteral("Correction stored."));
        }
        return true;
    } catch (const db::DbError& error) {
        warn(QStringLiteral("Correction not stored."),
             QStringLiteral("The correction could not be stored: %1\nYour changes are "
                            "still in the row: leave the row to try again, or press "
                            "Escape to undo them.")
                 .arg(error.text()));
        return false;
    }
}

void ListingsWindow::rowLeft(int row) {
    if (model_->editedRow() != row || storeEdits())
        return;
    // Back to the row whose changes are kept, once the view has finished its move.
    QTimer::singleShot(0, this, [this, row] {
        table_->setCurrentIndex(model_->index(row, table_->currentIndex().column()));
    });
}

void ListingsWindow::undoEdits() {
    model_->revertEdits();
    showState(QStringLiteral("Changes undone."));
}

void ListingsWindow::deleteCurrent() {
    const int row = table_->currentIndex().row();
    if (row < 0) {
        messages().inform(QStringLiteral("Choose the listing to delete in the table first."));
        return;
    }
    if (!messages().askYes(QStringLiteral("Delete this listing for good?\n\n%1\n\nIts values are "
                                          "kept in the table Corrections.")
                               .arg(listingSummary(model_->shownValues(row))),
                           shell::Answer::No))
        return;
    ListingsModel::Result result;
    try {
        prepareCorrections();
        result = model_->deleteRow(row);
    } catch (const db::DbError& error) {
        warn(QStringLiteral("Listing not deleted."),
             QStringLiteral("The listing could not be deleted: %1\nIt is kept as it was. "
                            "Where an office keeps deletion to a supervisor's login, a "
                            "supervisor deletes it.")
                 .arg(error.text()));
        return;
    }
    if (result == ListingsModel::Result::Changed) {
        warn(QStringLiteral("Deletion refused."),
             QStringLiteral("This listing was changed or deleted at another desk after it "
                            "was shown here, so it was not deleted. The window now shows "
                            "it as it is stored."));
        return;
    }
    showState(QStringLiteral("Listing deleted."));
}

void ListingsWindow::exportShown() {
    // The row being corrected is exported as stored: its changes are stored first.
    if (!storeEdits())
        return;
    const QPointer<QWidget> focused = QApplication::focusWidget();
    const QString done = listings::exportShown(this, messages(), *model_, exportTarget_);
    if (!done.isEmpty())
        showState(done);
    // The bar took the focus; without a window manager to hand it back, the keys
    // would go nowhere.
    window()->activateWindow();
    if (focused)
        focused->setFocus();
}

bool ListingsWindow::eventFilter(QObject* watched, QEvent* event) {
    // The search box would take Ctrl+E as End, as X11's key bindings have it, and the
    // window's key for "Export…" would never reach it from there.
    if (watched == search_ && event->type() == QEvent::ShortcutOverride &&
        QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()) == kExportKey)
        return true;
    if (event->type() != QEvent::KeyPress)
        return ChildWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && model_->finding()) {
        cancelFinding();
        return true;
    }
    if (watched == search_ && key->key() == Qt::Key_Escape && !search_->text().isEmpty()) {
        search_->clear();
        shell::runAction(this, [this] { searchNow(); });
        return true;
    }
    if (watched == table_ && key->modifiers() == Qt::ControlModifier) {
        switch (key->key()) {
            case Qt::Key_C:
                copyBlock();
                return true;
            case Qt::Key_V:
                shell::runAction(this, [this] { pasteValue(); });
                return true;
            default:
                break;
        }
    }
    // While a cell is edited its editor has the keys, not the table.
    if (watched != table_ || key->modifiers() & ~Qt::KeypadModifier)
        return ChildWindow::eventFilter(watched, event);
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The Enter that ends an edit comes here too, before its editor has closed.
            if (table_->currentIndex().isValid() && !table_->indexWidget(table_->currentIndex()))
                table_->edit(table_->currentIndex());
            return true;
        case Qt::Key_Escape:
            if (model_->editedRow() < 0)
                return false;
            undoEdits();
            return true;
        case Qt::Key_Delete:
            shell::runAction(this, [this] { deleteCurrent(); });
            return true;
        default:
            return ChildWindow::eventFilter(watched, event);
    }
}

}  // namespace listings
