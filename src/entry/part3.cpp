#include "part3.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPlainTextEdit>

#include "followfocus.h"
#include "listinginsert.h"
#include "part3controls.h"
#include "shell/desk.h"
#include "shell/framefit.h"
#include "shell/keypress.h"
#include "shell/messages.h"
#include "shell/texts.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace entry {

namespace {

const QStringList kSaleTypes = {"Auction", "Mortgagee Sale", "Normal Sale", "Other", "Tender"};

// Enter in the several-line box moves on like everywhere else; Ctrl+Enter or
// Shift+Enter starts a new line. The box itself would take Shift+Enter for a line
// separator (U+2028), which is kept as it stands when it is typed as a character.
class LineBreakOnCtrlEnter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (!shell::isEnter(key, Qt::ControlModifier) && !shell::isEnter(key, Qt::ShiftModifier))
            return false;
        static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\n"));
        return true;
    }
};

QString text1(int index) {
    return shell::element(QStringLiteral("Text1"), index);
}

}  // namespace

Part3::Part3() : EntryWindow(QStringLiteral("Part3"), QStringLiteral("Data Entry Form - 3")) {
    build(part3Controls());
    for (int index = 0; index < kPart3TextBoxes; ++index) {
        QWidget* box = controls_.widget(text1(index));
        const bool lines = index == kAdditionalDetails;
        shell::onKeyPress(box, [this, index, lines](int code) {
            Text1_KeyPress(index, code);
            // Enter has moved on; in the several-line box it must not also break the line.
            return lines && code == shell::kEnter ? 0 : code;
        });
        if (lines)
            box->installEventFilter(new LineBreakOnCtrlEnter(box));
    }
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command2"), [this] { Command2_Click(); });
    // The window is taller than most screens: the control that takes the focus is
    // scrolled into view.
    followFocus(this);
}

void Part3::formLoad() {
    // The designed width stays; only the height is set, and the window lies against
    // the left edge, its top a third of the way down even when that is above the
    // work area.
    setSizeTwips(14805, 16600);
    placeOnScreen();
    setLeftTwips(0);
    showHeader(QStringLiteral("head2.jpg"), 1200);
    fillList(QStringLiteral("Combo1"), kSaleTypes);
    // Every publication, whatever its state, as stored: not trimmed.
    fillList(QStringLiteral("Combo2"), firstColumn(QStringLiteral("PubName")));
}

void Part3::Text1_KeyPress(int index, int code) {
    moveOnEnter(code, index < kPart3TextBoxes - 1 ? text1(index + 1) : QStringLiteral("Command1"));
}

void Part3::Command2_Click() {
    closeWindow();
}

void Part3::captureValues() {
    // This window fills SaleType to DetailPublicationDate. The text boxes are numbered
    // in tab order, which puts the features, the check boxes, between the property's
    // attributes (PriceFrom to YearBuilt) and the additional details (to Agent3Phone).
    using db::Column;
    listing_[Column::SaleType] = trimmedText(QStringLiteral("Combo1"));
    for (int i = 0; i < kAdditionalDetails; ++i)
        listing_[Column::PriceFrom + i] = trimmedText(text1(i));
    for (int i = 0; i < kPart3CheckBoxes; ++i) {
        const auto* box = controls_.get<QCheckBox>(shell::element(QStringLiteral("Check1"), i));
        listing_[Column::DoubleStorey + i] =
            box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    for (int i = kAdditionalDetails; i < kPart3TextBoxes - 1; ++i)
        listing_[Column::AdditionalDetails + (i - kAdditionalDetails)] = trimmedText(text1(i));
    listing_[Column::DetailPublicationName] = trimmedText(QStringLiteral("Combo2"));
    listing_[Column::DetailPublicationDate] = trimmedText(text1(kPart3TextBoxes - 1));
}

void Part3::Command1_Click() {
    captureValues();
    // Every element counts, those of the first two windows too.
    if (!goAheadDespiteEmpty(emptyCount(listing_)))
        return;
    // The window's listing keeps its token after a failed submit, and the token goes
    // with the window: stored, or abandoned by "Back Main Menu" or the close box.
    insertListing(listing_, desk().store(), desk().folder());
    messages().inform(QString::fromLatin1(shell::kRecordInserted));
    startNextListing();
}

// The row is stored: this window goes whatever follows, so that the same listing
// cannot be submitted twice. A window closed while the message showed has gone
// already, and the windows open now belong to the listing after it.
void Part3::startNextListing() {
    if (!isCurrent())
        return;
    closeWindow();
    shell::Windows& rules = windows();
    QMainWindow* frame = rules.frame();
    shell::fitHeightToAvailableArea(frame);
    shell::ChildWindow* first = rules.open(QStringLiteral("Part1"));
    // At the top of the frame, not a third of the way down as from the menu.
    first->setTopTwips(shell::toTwips(frame->y()));
}

}  // namespace entry
