#pragma once

#include <QComboBox>
#include <QStringList>
#include <functional>

#include "db/listing.h"
#include "shell/childwindow.h"

namespace entry {

// What the three entry windows have in common: the lookup tables that fill their
// choice lists, and the few ways in which the windows fill, read and move between
// their controls.
class EntryWindow : public shell::ChildWindow {
    Q_OBJECT
public:
    using ChildWindow::ChildWindow;

protected:
    // Every row of a lookup table, in the order stored, and the first column of each.
    QList<QStringList> tableRows(const QString& table);
    QStringList firstColumn(const QString& table);

    // The header picture Picture1, read from the program's folder.
    void showHeader(const QString& fileName, double heightTwips = 680);

    QComboBox* combo(const QString& name) const { return controls_.get<QComboBox>(name); }
    // Replaces a combo box's list; afterwards no entry is chosen and its text is empty.
    void fillList(const QString& name, const QStringList& items);

    // The control's text as typed, less the blanks at both ends.
    QString trimmedText(const QString& name) const;
    QStringList trimmedTexts(const QStringList& names) const;

    // Connects a button to its click handler, guarded as every handler is.
    void onClick(const QString& button, std::function<void()> handler);

    void focus(const QString& name) const;
    // The Enter path: Enter moves the focus to `next`; every other key is ignored.
    void moveOnEnter(int code, const QString& next) const;

    // The question before a submit when fields are empty; true to go on. False also
    // when the window was closed while the question waited: what it held is no longer
    // the listing on its way.
    bool goAheadDespiteEmpty(int emptyFields) const;
    static int countEmpty(const QStringList& values);

    // Opens the next window of the listing with the listing as this window holds it,
    // then closes this one: if the next one cannot be opened, what was typed here stays.
    void handOnTo(const QString& next);

public:
    // The listing on its way, as far as this window's predecessors and this window's
    // own Submit have filled it.
    const db::Listing& listing() const { return listing_; }

protected:
    db::Listing listing_;
};

}  // namespace entry
