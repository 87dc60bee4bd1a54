#include "part3controls.h"

#include "entrywindow.h"
#include "shell/texts.h"

namespace entry {

namespace {

using shell::ControlSpec;
using shell::element;
using shell::Kind;

constexpr double kWidth = 14805;
constexpr double kFieldHeight = 360;
constexpr double kLabelHeight = 225;

// A field with its label to the left (right-aligned) in the sale/rent and
// publication sections.
struct LabelledField {
    const char* field;
    Kind kind;
    double left, top, width;
    int tab;
    const char* label;
    const char* caption;
    double labelLeft, labelTop, labelWidth;
    int labelTab;
};

// clang-format off
const LabelledField kLabelledFields[] = {
    {"Combo1",    Kind::ComboBox, 2310, 2670,  2235, 4,  "Label3(0)", "Sale Type : ",           510,  2700,  1755, 5},
    {"Text1(0)",  Kind::TextBox,  2310, 3060,  2235, 17, "Label3(1)", "Price From : ",          1020, 3090,  1215, 6},
    {"Text1(1)",  Kind::TextBox,  2310, 3450,  2235, 18, "Label3(2)", "Price To : ",            1200, 3450,  1005, 7},
    {"Text1(2)",  Kind::TextBox,  2310, 4080,  2235, 19, "Label3(3)", "Price Description : ",   450,  4170,  1755, 8},
    {"Text1(3)",  Kind::TextBox,  8700, 2640,  2235, 20, "Label3(6)", "Auction/Tender Date : ", 6600, 2730,  2055, 11},
    {"Text1(4)",  Kind::TextBox,  8700, 3030,  2235, 21, "Label3(7)", "Auction/Tender Time : ", 6600, 3120,  2055, 12},
    {"Text1(5)",  Kind::TextBox,  8700, 3420,  3645, 22, "Label3(8)", "Auction Location : ",    6870, 3480,  1755, 13},
    {"Combo2",    Kind::ComboBox, 5250, 14280, 7335, 84, "Label4(5)", "Name of Publication",    2370, 14370, 2775, 87},
    {"Text1(41)", Kind::TextBox,  5280, 14670, 3405, 85, "Label4(4)", "Date of Publication:",   2820, 14760, 2325, 86},
};
// clang-format on

// The property attributes Text1(6) to Text1(27), each box 1750 by 360 with its
// label Label3(11) to Label3(32) to the right.
struct Attribute {
    const char* caption;
    double boxLeft, boxTop, labelLeft, labelTop, labelWidth;
};

const Attribute kAttributes[] = {
    {"Bedrooms", 90, 5250, 1980, 5340, 2055},
    {" M2 Total In Floor Area", 90, 5640, 1980, 5730, 2715},
    {" Ensuites", 90, 6030, 1980, 6090, 2055},
    {"Toilets", 90, 6420, 1980, 6480, 2055},
    {"Dining Rooms", 90, 6810, 1980, 6870, 2055},
    {"Lounge/Dining Rooms Combined", 90, 7200, 1980, 7260, 2835},
    {" Other Rooms", 90, 7590, 1980, 7650, 2055},
    {"Lockup Garages", 90, 7980, 1980, 8040, 2055},
    {"Distance To School (km)", 4920, 5250, 6750, 5370, 2115},
    {"Distance To Shops (km)", 4920, 5640, 6750, 5760, 2055},
    {"Distance To Golf Course (km)", 4920, 6030, 6750, 6120, 2595},
    {"Floor Level Of Unit", 4920, 6420, 6750, 6510, 2055},
    {"No. Floor Levels Inside Unit", 4920, 6810, 6750, 6870, 2625},
    {" Bathrooms", 4920, 7200, 6750, 7260, 2055},
    {"Lounge Rooms", 4920, 7590, 6780, 7620, 2055},
    {"No Of Study Rooms", 9600, 5250, 11460, 5340, 2055},
    {"Family / Rumpus Rooms", 9600, 5640, 11460, 5730, 2655},
    {"Car Spaces", 9600, 6030, 11460, 6090, 2055},
    {"Total Floors In Building", 9600, 6420, 11490, 6480, 2295},
    {"Distance To Hospital (km)", 9600, 6810, 11460, 6840, 2415},
    {"Distance To Sea/River/Cannel (km)", 9600, 7200, 11460, 7230, 2805},
    {"Year Built", 9600, 7590, 11460, 7590, 2055},
};

// Check1(0) to Check1(18), each 285 high.
struct Feature {
    const char* caption;
    double left, top, width;
};

const Feature kFeatures[] = {
    {"Double Storey", 480, 8490, 2175},
    {"Scenic View", 480, 8790, 2175},
    {"Polished Floors", 480, 9090, 2175},
    {"Swimming Pool", 480, 9390, 2175},
    {"Heritage / Other Classification", 480, 9690, 2985},
    {"Access Security Installed", 4440, 8490, 2955},
    {"Vendor Will Trade", 4470, 8790, 2175},
    {"Fireplace", 4440, 9090, 2175},
    {"Ducted Vaccuum", 4440, 9390, 2175},
    {"Beach Front", 4440, 9690, 2175},
    {" Water Frontage", 8760, 8460, 2175},
    {"Air Conditioned", 8760, 8760, 2175},
    {"Open Plan", 8760, 9060, 2175},
    {"Selling Off The Plan", 8760, 9360, 2175},
    {"Lift Installed", 8760, 9660, 2175},
    {"Close To Public Transport", 11850, 8490, 2715},
    {"Renovated", 11850, 8790, 2175},
    {"Ducted Heating", 11850, 9090, 2175},
    {"Golf Front", 11850, 9390, 2175},
};

// The agent grid: one row per agent, one column per detail, each under its label
// Label4(0) to Label4(3). Surname and phone sit 30 lower than the others.
struct AgentColumn {
    const char* caption;
    double labelLeft, labelWidth, boxLeft, boxWidth, boxDrop;
};

const AgentColumn kAgentColumns[] = {
    {"Agency Name", 900, 2775, 840, 3405, 0},
    {"Agent FirstName", 5190, 2325, 5160, 2505, 0},
    {"Agent Surname", 7980, 2325, 7950, 2385, 30},
    {"Agent Contact Phone", 10770, 2325, 10680, 3735, 30},
};
const double kAgentRowTops[] = {12510, 12900, 13290};

const shell::Look kBand = {Qt::AlignCenter, 0, {}, true, QColor(192, 255, 255)};
const shell::Look kDarkRule = {Qt::AlignLeft, 0, {}, false, QColor(64, 64, 64)};

// clang-format off
const ControlSpec kFixed[] = {
    {"Picture1",   Kind::Picture,  {},                        0,     0,     kWidth, 1200, 0},
    {"Label1",     Kind::Label,    shell::kBanner,            0,     1260,  14800,  375,  1, {}, shell::banner()},
    {"Label2(0)",  Kind::Label,    "For Sale Property Details: 12 Sample Street, Sampleton",
                                                              0,     1710,  kWidth, 315,  2, {}, shell::centred()},
    {"Label2(1)",  Kind::Band,     "Sale/Rent Details",       0,     2220,  kWidth, 315,  3, {}, kBand},
    {"Label2(2)",  Kind::Band,     "Property Attributes",     0,     4860,  kWidth, 315,  16, {}, kBand},
    {"Label2(3)",  Kind::Band,     "Additional Details",      -30,   10080, kWidth, 315,  45, {}, kBand},
    {"Label2(4)",  Kind::Band,     "Agent Details",           0,     11850, kWidth, 315,  66, {}, kBand},
    {"Label2(5)",  Kind::Band,     "Publication Details",     0,     13830, kWidth, 315,  83, {}, kBand},
    {"Label2(6)",  Kind::Label,    {},                        -30,   15330, kWidth, 15,   89, {}, kDarkRule},
    {"Label3(5)",  Kind::Label,    "OR",                      2310,  3840,  315,    225,  10},
    {"Label3(4)",  Kind::Label,    "eg: Buyers from 120000+", 2550,  4500,  1815,   225,  9},
    {"Label3(9)",  Kind::Label,    "(DD//MM/YY)",             11040, 2760,  1095,   225,  14},
    {"Label3(10)", Kind::Label,    "(HH:MM am/pm)",           11040, 3120,  1245,   225,  15},
    {"Text1(28)",  Kind::TextArea, {},                        1530,  10440, 11475,  1350, 65, "Label2(3)"},
    {"Label4(6)",  Kind::Label,    "(DD/MM/YY)",              8820,  14730, 1155,   225,  88},
    {"Command1",   Kind::Button,   "Subnmit",                 5160,  15510, 1965,   465,  90},
    {"Command2",   Kind::Button,   "Back Main Menu",          7920,  15510, 2595,   465,  91},
};
// clang-format on

}  // namespace

std::vector<ControlSpec> part3Controls() {
    const QString text1 = QStringLiteral("Text1");
    std::vector<ControlSpec> specs(std::begin(kFixed), std::end(kFixed));
    for (const LabelledField& f : kLabelledFields) {
        specs.push_back({f.label,
                         Kind::Label,
                         f.caption,
                         f.labelLeft,
                         f.labelTop,
                         f.labelWidth,
                         kLabelHeight,
                         f.labelTab,
                         {},
                         shell::rightAligned()});
        specs.push_back(
            {f.field, f.kind, {}, f.left, f.top, f.width, kFieldHeight, f.tab, f.label});
    }
    for (int i = 0; i < int(std::size(kAttributes)); ++i) {
        const Attribute& a = kAttributes[i];
        const QString label = element(QStringLiteral("Label3"), 11 + i);
        specs.push_back({label, Kind::Label, a.caption, a.labelLeft, a.labelTop, a.labelWidth,
                         kLabelHeight, 92 + i});
        specs.push_back({element(text1, 6 + i),
                         Kind::TextBox,
                         {},
                         a.boxLeft,
                         a.boxTop,
                         1750,
                         kFieldHeight,
                         23 + i,
                         label});
    }
    for (int i = 0; i < int(std::size(kFeatures)); ++i) {
        const Feature& f = kFeatures[i];
        specs.push_back({element(QStringLiteral("Check1"), i), Kind::CheckBox, f.caption, f.left,
                         f.top, f.width, 285, 46 + i});
    }
    for (int column = 0; column < int(std::size(kAgentColumns)); ++column) {
        const AgentColumn& c = kAgentColumns[column];
        const QString label = element(QStringLiteral("Label4"), column);
        specs.push_back({label, Kind::Label, c.caption, c.labelLeft, 12240, c.labelWidth,
                         kLabelHeight, 79 + column});
        for (int row = 0; row < int(std::size(kAgentRowTops)); ++row) {
            const int index = 29 + 4 * row + column;
            specs.push_back({element(text1, index),
                             Kind::TextBox,
                             {},
                             c.boxLeft,
                             kAgentRowTops[row] + c.boxDrop,
                             c.boxWidth,
                             kFieldHeight,
                             67 + 4 * row + column,
                             label});
        }
    }
    return specs;
}

}  // namespace entry
