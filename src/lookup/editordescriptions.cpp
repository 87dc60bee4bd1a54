#include "editordescription.h"

#include "shell/texts.h"

namespace lookup {

namespace {

using shell::banner;
using shell::centred;
using shell::ControlSpec;
using shell::Kind;

const QString kBanner = QString::fromLatin1(shell::kBanner);
const QString kClear = QStringLiteral("&Clear");
const QString kUpdate = QStringLiteral("&Update");
const QString kDelete = QStringLiteral("&Delete");
const QString kEnd = QStringLiteral("&End");

const shell::Look kCountLook = centred(0, {}, true);
// The state editor's stray label: a thin strip along the picture's lower edge.
const shell::Look kStrip = {Qt::AlignLeft | Qt::AlignTop, 0, {}, false, QColor(0xf0, 0xf0, 0xf0)};

// clang-format off
// name, kind, caption, left, top, width, height, tab, buddy, look
const ControlSpec kStreet[] = {
    {"Picture1", Kind::Picture, {}, 0, 0, 7700, 680},
    {"Label1", Kind::Label, kBanner, 0, 660, 7635, 375, 1, {}, banner(13.5)},
    {"Line1(0)", Kind::Rule, {}, 0, 1110},
    {"Label2", Kind::Label, "Please Enter Street", 0, 1170, 7635, 345, 2, {}, centred(12)},
    {"Text1(0)", Kind::TextBox, {}, 150, 1650, 7215, 315, 3, "Label2", centred(12)},
    {"Line1(1)", Kind::Rule, {}, 0, 2160},
    {"Command1(0)", Kind::Button, kClear, 180, 2310, 1605, 405, 4},
    {"Command1(1)", Kind::Button, kUpdate, 2040, 2310, 1605, 405, 5},
    {"Command1(2)", Kind::Button, kDelete, 3900, 2310, 1605, 405, 6},
    {"Command1(3)", Kind::Button, kEnd, 5760, 2310, 1605, 405, 7},
    {"List1", Kind::ListBox, {}, 150, 2790, 7305, 2670, 8, "Label2"},
    {"Label3", Kind::Label, kTotalEntries, 0, 5520, 7635, 315, 9, {}, kCountLook},
};

const ControlSpec kState[] = {
    {"Picture1", Kind::Picture, {}, 0, 0, 7700, 680, 1},
    {"Label1", Kind::Label, "Label1", 30, 660, 7485, 30, -1, {}, kStrip},
    {"Label2(0)", Kind::Label, kBanner, -30, 690, 7665, 345, 3, {}, banner(13.5)},
    {"Label2(1)", Kind::Label, "Please Enter State", 0, 1200, 7665, 345, 4, {}, centred(12)},
    {"Text1(0)", Kind::TextBox, {}, 240, 1650, 7095, 360, 0, "Label2(1)", centred(9.75)},
    {"Line1(0)", Kind::Rule, {}, 0, 1110},
    {"Line1(1)", Kind::Rule, {}, 0, 2130},
    {"Command1(0)", Kind::Button, kClear, 240, 2250, 1635, 435, 5},
    {"Command1(1)", Kind::Button, kUpdate, 2070, 2250, 1635, 435, 6},
    {"Command1(2)", Kind::Button, kDelete, 3900, 2250, 1635, 435, 7},
    {"Command1(3)", Kind::Button, kEnd, 5730, 2250, 1635, 435, 8},
    {"List1", Kind::ListBox, {}, 180, 2760, 7215, 2670, 9, "Label2(1)"},
    {"Label3", Kind::Label, kTotalEntries, -30, 5490, 7695, 315, 10, {}, kCountLook},
};

const ControlSpec kPropType[] = {
    {"Picture1", Kind::Picture, {}, 0, 0, 7700, 680},
    {"Label1(0)", Kind::Label, kBanner, -30, 690, 7635, 375, 1, {}, banner(13.5)},
    {"Label1(1)", Kind::Label, "Please Enter Property Type", 0, 1260, 7635, 375, 2, {},
     centred(12)},
    {"Text1(0)", Kind::TextBox, {}, 120, 1740, 7335, 375, 3, "Label1(1)", centred(9.75)},
    {"Line1(0)", Kind::Rule, {}, 0, 1170},
    {"Line1(1)", Kind::Rule, {}, 0, 2220},
    {"Command1(0)", Kind::Button, kClear, 150, 2340, 1665, 435, 4},
    {"Command1(1)", Kind::Button, kUpdate, 2040, 2340, 1665, 435, 5},
    {"Command1(2)", Kind::Button, kDelete, 3930, 2340, 1665, 435, 6},
    {"Command1(3)", Kind::Button, kEnd, 5820, 2340, 1665, 435, 7},
    {"List1", Kind::ListBox, {}, 120, 2850, 7335, 2670, 8, "Label1(1)"},
    {"Label2", Kind::Label, kTotalEntries, -30, 5610, 7755, 285, 9, {}, kCountLook},
};

const ControlSpec kPubName[] = {
    {"Picture1", Kind::Picture, {}, 0, 0, 7700, 680, 1},
    {"Label1", Kind::Label, kBanner, 0, 660, 7635, 345, 2, {}, banner(13.5)},
    {"Line1(0)", Kind::Rule, {}, 0, 1110},
    {"Label2", Kind::Label, "Please Enter Publication Name and Select State", 0, 1200, 7635, 255,
     3, {}, centred(12)},
    {"Text1(0)", Kind::TextBox, {}, 150, 1590, 7305, 345, 0, "Label2", centred(9.75)},
    {"Combo1", Kind::ComboBox, {}, 150, 2010, 7335, 360, 4, "Label2"},
    {"Line1(1)", Kind::Rule, {}, 0, 2460},
    {"Command1(0)", Kind::Button, kClear, 150, 2550, 1725, 495, 5},
    {"Command1(1)", Kind::Button, kUpdate, 2010, 2550, 1725, 495, 6},
    {"Command1(2)", Kind::Button, kDelete, 3900, 2550, 1725, 495, 7},
    {"Command1(3)", Kind::Button, kEnd, 5760, 2550, 1725, 495, 8},
    {"List1", Kind::ListBox, {}, 150, 3120, 7305, 2670, 9, "Label2"},
    {"Label3", Kind::Label, kTotalEntries, 0, 5850, 7635, 285, 10, {}, kCountLook},
};
// clang-format on

const EditorDescription kEditors[] = {
    {.window = "Street",
     .caption = "Street Entry Module",
     .table = "Street",
     .keyColumn = "StreetName",
     .controls = kStreet,
     .countLabel = "Label3"},
    {.window = "State",
     .caption = "State Entru Module",
     .table = "State",
     .keyColumn = "State",
     .controls = kState,
     .countLabel = "Label3",
     .insidePicture = "Label1"},
    {.window = "PropType",
     .caption = "Form1",
     .table = "PropType",
     .keyColumn = "PropType",
     .controls = kPropType,
     .countLabel = "Label2"},
    {.window = "PubName",
     .caption = "Publication Name Entry Module",
     .table = "PubName",
     .keyColumn = "PubName",
     .height = 6705,
     .controls = kPubName,
     .countLabel = "Label3",
     .stateField = true,
     .emptyOnUpdate = "Division Name cannot be Empty",
     .emptyOnEnter = "Office Name Cannot Empty"},
};

}  // namespace

std::span<const EditorDescription> editorDescriptions() {
    return kEditors;
}

}  // namespace lookup
