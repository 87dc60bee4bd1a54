#pragma once

#include <QList>
#include <QWidget>

class QLineEdit;

namespace listings {

class ListingsModel;

// One listing's 76 values, labelled and grouped as the three entry windows group
// them (publication, address, details, agents), one under another so that a whole
// listing reads without scrolling sideways. A value typed here is an edit of the
// table's row, stored under the table's rules when the row is left; Previous and
// Next move the table to the neighbouring listing.
class ListingForm : public QWidget {
    Q_OBJECT
public:
    explicit ListingForm(ListingsModel& model, QWidget* parent = nullptr);

    // Shows the row's values (none for -1); while the row stays the same, a field the
    // operator is typing in keeps its text.
    void showRow(int row);
    int row() const { return row_; }
    QLineEdit* field(int column) const { return fields_.value(column); }

signals:
    // The operator asked for the previous (-1) or next (+1) listing of the table.
    void step(int by);

private:
    ListingsModel& model_;
    QList<QLineEdit*> fields_;  // by column of Data
    int row_ = -1;
};

}  // namespace listings
