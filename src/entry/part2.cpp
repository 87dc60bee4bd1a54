#include "part2.h"

#include <QLabel>
#include <QRadioButton>

#include "shell/blanks.h"
#include "shell/keypress.h"
#include "shell/texts.h"

namespace entry {

namespace {

using shell::Kind;

const shell::Look kRight = shell::rightAligned();

// clang-format off
const shell::ControlSpec kControls[] = {
    {"Picture1",  Kind::Picture,      {},                     0,    0,    7700, 680, 1},
    {"Label1",    Kind::Label,        shell::kBanner,         0,    660,  7605, 345, 2, {}, shell::banner()},
    {"Line1(0)",  Kind::Rule,         {},                     0,    1170, 7560, 0},
    {"Label2(0)", Kind::Label,        "Unit No : ",           330,  1380, 1515, 225, 3, {}, kRight},
    {"Text1(0)",  Kind::TextBox,      {},                     1890, 1320, 5145, 360, 0, "Label2(0)"},
    {"Label2(1)", Kind::Label,        "Street No. : ",        330,  1770, 1515, 225, 4, {}, kRight},
    {"Text1(1)",  Kind::TextBox,      {},                     1890, 1710, 5145, 360, 13, "Label2(1)"},
    {"Label2(2)", Kind::Label,        "Street Name : ",       330,  2160, 1515, 225, 5, {}, kRight},
    {"Text1(2)",  Kind::TextBox,      {},                     1890, 2100, 5145, 360, 14, "Label2(2)"},
    {"Label2(3)", Kind::Label,        "Suburb : ",            330,  2550, 1515, 225, 6, {}, kRight},
    {"Text1(3)",  Kind::TextBox,      {},                     1890, 2490, 5145, 360, 15, "Label2(3)"},
    {"Label2(4)", Kind::Label,        "State : ",             330,  2940, 1515, 225, 7, {}, kRight},
    {"Label2(5)", Kind::Label,        {},                     1890, 2940, 5145, 225, 8, "Label2(4)"},
    {"Label2(6)", Kind::Label,        "Property Type : ",     330,  3300, 1515, 225, 9, {}, kRight},
    {"Combo1",    Kind::ComboBox,     {},                     1890, 3240, 5145, 360, 16, "Label2(6)"},
    {"Option1",   Kind::OptionButton, "For Sale",             1920, 3660, 1305, 315, 17},
    {"Option2",   Kind::OptionButton, "For Rent",             3450, 3660, 1245, 315, 18},
    {"Label2(7)", Kind::Label,        "Agency Name : ",       330,  4140, 1515, 225, 10, {}, kRight},
    {"Text1(4)",  Kind::TextBox,      {},                     1890, 4050, 5145, 360, 19, "Label2(7)"},
    {"Label2(8)", Kind::Label,        "Street No. Suffix : ", 90,   4500, 1755, 225, 11, {}, kRight},
    {"Text1(5)",  Kind::TextBox,      {},                     1890, 4440, 5145, 360, 20, "Label2(8)"},
    {"Label2(9)", Kind::Label,        "Street Ext : ",        90,   4920, 1755, 225, 12, {}, kRight},
    {"Combo2",    Kind::ComboBox,     {},                     1920, 4860, 2535, 360, 21, "Label2(9)"},
    {"Combo3",    Kind::ComboBox,     {},                     4770, 4860, 2295, 360, 22, "Label2(9)"},
    {"Line1(1)",  Kind::Rule,         {},                     0,    5370, 7560, 0},
    {"Command1",  Kind::Button,       "&Submit",              1590, 5490, 1575, 495, 23},
    {"Command2",  Kind::Button,       "Back Main Menu",       3510, 5490, 2535, 495, 24},
};
// clang-format on

// The property types are the program's own; the PropType table does not feed them.
const QStringList kPropertyTypes = {
    "Bussiness",       "Commercial", "Farm/Rural",       "Flat", "House", "House - Duplex",
    "House - Terrace", "Land",       "Unit / Townhouse",
};

const QStringList kDirections = {"North", "South", "West", "East"};

// The nine fields that Submit tests, in the order of their elements; the sale or
// rent choice takes element 8, between the property type and the agency.
const QStringList kFields = {"Text1(0)", "Text1(1)", "Text1(2)", "Text1(3)", "Combo1",
                             "Text1(4)", "Text1(5)", "Combo2",   "Combo3"};
constexpr db::Column kFirstColumn = db::Column::UnitNo;
constexpr int kSaleOrRentAt = int(db::Column::SaleOrRent) - int(kFirstColumn);

}  // namespace

Part2::Part2() : EntryWindow(QStringLiteral("Part2"), QStringLiteral("Data Entry Form - 2")) {
    build(kControls);
    controls_.widget(QStringLiteral("Label2(5)"))->setForegroundRole(QPalette::Highlight);
    for (int index = 0; index <= 5; ++index) {
        shell::onKeyRead(controls_.widget(shell::element(QStringLiteral("Text1"), index)),
                         [this, index](int code) { Text1_KeyPress(index, code); });
    }
    shell::onKeyRead(combo(QStringLiteral("Combo1")), [this](int code) { Combo1_KeyPress(code); });
    shell::onKeyRead(combo(QStringLiteral("Combo2")), [this](int code) { Combo2_KeyPress(code); });
    shell::onKeyRead(combo(QStringLiteral("Combo3")), [this](int code) { Combo3_KeyPress(code); });
    onClick(QStringLiteral("Command1"), [this] { Command1_Click(); });
    onClick(QStringLiteral("Command2"), [this] { Command2_Click(); });
}

void Part2::formLoad() {
    setSizeTwips(7700, 6600);
    placeOnScreen();
    showHeader(QStringLiteral("head1.jpg"));
    controls_.get<QLabel>(QStringLiteral("Label2(5)"))->setText(listing_[db::Column::ListingState]);
    // One of the two is always selected.
    controls_.get<QRadioButton>(QStringLiteral("Option1"))->setChecked(true);
    CmbLoad();
}

void Part2::CmbLoad() {
    fillList(QStringLiteral("Combo1"), kPropertyTypes);
    fillList(QStringLiteral("Combo2"), shell::trimBlanks(firstColumn(QStringLiteral("Street"))));
    fillList(QStringLiteral("Combo3"), kDirections);
}

void Part2::Text1_KeyPress(int index, int code) {
    static const char* const next[] = {"Text1(1)", "Text1(2)", "Text1(3)",
                                       "Combo1",   "Text1(5)", "Combo2"};
    moveOnEnter(code, QLatin1String(next[index]));
}

void Part2::Combo1_KeyPress(int code) {
    moveOnEnter(code, QStringLiteral("Text1(4)"));
}
void Part2::Combo2_KeyPress(int code) {
    moveOnEnter(code, QStringLiteral("Combo3"));
}
void Part2::Combo3_KeyPress(int code) {
    moveOnEnter(code, QStringLiteral("Command1"));
}

void Part2::Command1_Click() {
    QStringList values = trimmedTexts(kFields);
    if (!goAheadDespiteEmpty(countEmpty(values))) {
        focus(QStringLiteral("Text1(0)"));
        return;
    }
    const bool forSale = controls_.get<QRadioButton>(QStringLiteral("Option1"))->isChecked();
    values.insert(kSaleOrRentAt, forSale ? QStringLiteral("Sale") : QStringLiteral("Rent"));
    listing_.assign(kFirstColumn, values);
    handOnTo(QStringLiteral("Part3"));
}

void Part2::Command2_Click() {
    closeWindow();
}

}  // namespace entry
