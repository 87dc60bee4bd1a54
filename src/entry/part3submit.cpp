// The Submit of the details window: the listing row insert.
#include <QCheckBox>
#include <QMainWindow>

#include "listinginsert.h"
#include "part3.h"
#include "part3controls.h"
#include "shell/messages.h"
#include "shell/twips.h"
#include "shell/windows.h"

namespace entry {

namespace {

QString text1(int index) {
    return shell::element(QStringLiteral("Text1"), index);
}

}  // namespace

void Part3::captureValues() {
    ListingValues& record = listingValues();
    record[13] = trimmedText(QStringLiteral("Combo1"));
    for (int i = 0; i <= 27; ++i)
        record[i + 14] = trimmedText(text1(i));
    for (int i = 0; i < kPart3CheckBoxes; ++i) {
        const auto* box = controls_.get<QCheckBox>(shell::element(QStringLiteral("Check1"), i));
        record[i + 42] = box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    for (int i = 28; i <= 40; ++i)
        record[i + 33] = trimmedText(text1(i));
    record[74] = trimmedText(QStringLiteral("Combo2"));
    record[75] = trimmedText(text1(41));
}

void Part3::Command1_Click() {
    captureValues();
    // Every element counts, those of the first two windows too.
    if (!goAheadDespiteEmpty(listingValues().emptyCount()))
        return;
    insertListing(listingValues(), rs_);
    shell::inform(QStringLiteral("Rcord Successfully Inserted"));
    startNextListing();
}

// The row is stored: this window goes whatever follows, so that the same listing
// cannot be submitted twice.
void Part3::startNextListing() {
    closeWindow();
    shell::Windows& rules = windows();
    QMainWindow* frame = rules.frame();
    frame->resize(frame->width(), shell::toPixels(shell::screenTwips().height()));
    shell::ChildWindow* first = rules.open(QStringLiteral("Part1"));
    // At the top of the frame, not a third of the way down as from the menu.
    first->setTopTwips(shell::toTwips(frame->y()));
}

}  // namespace entry
