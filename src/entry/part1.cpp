#include "part1.h"

#include <QMainWindow>
#include <QScopedValueRollback>

#include "shell/action.h"
#include "shell/blanks.h"
#include "shell/desk.h"
#include "shell/keypress.h"
#include "shell/texts.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace entry {

namespace {

using shell::Kind;

const shell::Look kRight = shell::rightAligned();

// clang-format off
const shell::ControlSpec kControls[] = {
    {"Picture1",  Kind::Picture,  {},                     0,    0,    7700, 680, 0},
    {"Label1",    Kind::Label,    shell::kBanner,         30,   720,  7545, 345, 1, {}, shell::banner()},
    {"Line1(0)",  Kind::Rule,     {},                     0,    1320, 7530, 0},
    {"Label2",    Kind::Label,    "Please Select State, Publication Name and input the Publication Date.",
                                                          30,   1500, 7605, 255, 2, {}, shell::centred()},
    {"Label3(0)", Kind::Label,    "State :",              180,  2070, 2145, 225, 3, {}, kRight},
    {"Label3(1)", Kind::Label,    "Publication Name :",   180,  2490, 2115, 255, 4, {}, kRight},
    {"Label3(2)", Kind::Label,    "Date of Publication :", 180, 2940, 2115, 255, 5, {}, kRight},
    {"Combo1",    Kind::ComboBox, {},                     2580, 2040, 4755, 360, 6, "Label3(0)"},
    {"Combo2",    Kind::ComboBox, {},                     2580, 2460, 4755, 360, 7, "Label3(1)"},
    {"Text1",     Kind::TextBox,  {},                     2580, 2910, 1785, 315, 8, "Label3(2)"},
    {"Label4",    Kind::Label,    "( DD/MM/YY )",         4860, 2970, 1185, 225, 9},
    {"Line1(1)",  Kind::Rule,     {},                     0,    3480, 7530, 0},
    {"Command1",  Kind::Button,   "Submit",               1860, 3660, 1395, 375, 10},
    {"Command2",  Kind::Button,   "Back Main Manu",       3540, 3660, 2355, 375, 11},
};
// clang-format on

}  // namespace

Part1::Part1() : EntryWindow(QStringLiteral("Part1"), QStringLiteral("Data Entry Form-1")) {
    build(kControls);
    QComboBox* states = combo(QStringLiteral("Combo1"));
    // A pick in the list, the arrow keys and Enter on a listed name all choose a
    // state; filling the list does not. Qt takes the edit field losing the focus on a
    // listed name for a choice too, but the operator who clicks elsewhere chose nothing.
    connect(states, &QComboBox::activated, this, shell::guarded(this, [this, states] {
                if (states->hasFocus() || enterPressed_)
                    Combo1_Click();
            }));
    shell::onKeyRead(states, [this](int code) {
        // Enter moves the focus on first, and Qt reports the choice as the field loses it.
        const QScopedValueRollback enter(enterPressed_, code == shell::kEnter);
        Combo1_KeyPress(code);
    });
    shell::onKeyRead(combo(QStringLiteral("Combo2")), [this](int code) { Combo2_KeyPress(code); });
    shell::onKeyRead(controls_.widget(QStringLiteral("Text1")),
                     [this](int code) { Text1_KeyPress(code); });
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command2"), [this] { Command2_Click(); });
}

void Part1::formLoad() {
    setSizeTwips(7700, 4770);
    // Placed against the main frame, not the screen.
    const QWidget* frame = windows().frame();
    placeAgainst(shell::toTwips(frame->width()), shell::toTwips(frame->height()));
    showHeader(QStringLiteral("head1.jpg"));
    fillList(QStringLiteral("Combo1"), shell::trimBlanks(firstColumn(QStringLiteral("State"))));
    fillList(QStringLiteral("Combo2"), {});
}

void Part1::Combo1_Click() {
    const QList<QStringList> rows = tableRows(QStringLiteral("PubName"));
    // Exact comparison: same characters, same case; only the blanks around either
    // side do not count.
    const QString state = trimmedText(QStringLiteral("Combo1"));
    QStringList publications;
    for (const QStringList& row : rows) {
        if (shell::trimBlanks(row.value(1)) == state)
            publications.append(shell::trimBlanks(row.value(0)));
    }
    fillList(QStringLiteral("Combo2"), publications);
    focus(QStringLiteral("Combo2"));
}

void Part1::Combo1_KeyPress(int code) {
    moveOnEnter(code, QStringLiteral("Combo2"));
}
void Part1::Combo2_KeyPress(int code) {
    moveOnEnter(code, QStringLiteral("Text1"));
}
void Part1::Text1_KeyPress(int code) {
    moveOnEnter(code, QStringLiteral("Command1"));
}

void Part1::Command1_Click() {
    const QStringList values =
        trimmedTexts({QStringLiteral("Combo1"), QStringLiteral("Combo2"), QStringLiteral("Text1")});
    if (!goAheadDespiteEmpty(countEmpty(values))) {
        focus(QStringLiteral("Combo1"));
        return;
    }
    // A new listing begins here, with no token: the token of an earlier one, stored or
    // abandoned, must never name this one, or its Subnmit would rewrite that row.
    listing_ = db::Listing();
    listing_.assign(db::Column::ListingState, values);
    handOnTo(QStringLiteral("Part2"));
}

void Part1::Command2_Click() {
    closeWindow();
}

}  // namespace entry
