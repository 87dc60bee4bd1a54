#include "part3.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

#include "followfocus.h"
#include "part3controls.h"
#include "shell/keypress.h"

namespace entry {

namespace {

const QStringList kSaleTypes = {"Auction", "Mortgagee Sale", "Normal Sale", "Other", "Tender"};

// Enter in the several-line box moves on like everywhere else; Ctrl+Enter or
// Shift+Enter (which the box handles itself) starts a new line.
class LineBreakOnCtrlEnter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || key->modifiers() != Qt::ControlModifier)
            return false;
        static_cast<QPlainTextEdit*>(watched)->insertPlainText(QStringLiteral("\n"));
        return true;
    }
};

}  // namespace

Part3::Part3() : EntryWindow(QStringLiteral("Part3"), QStringLiteral("Data Entry Form - 3")) {
    build(part3Controls());
    for (int index = 0; index < kPart3TextBoxes; ++index) {
        QWidget* box = controls_.widget(shell::element(QStringLiteral("Text1"), index));
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
    fillList(QStringLiteral("Combo2"), queryColumn(QStringLiteral("Select * from PubName;")));
}

void Part3::Text1_KeyPress(int index, int code) {
    moveOnEnter(code, index < kPart3TextBoxes - 1
                          ? shell::element(QStringLiteral("Text1"), index + 1)
                          : QStringLiteral("Command1"));
}

void Part3::Command2_Click() {
    closeWindow();
}

}  // namespace entry
