#pragma once

#include <QStyledItemDelegate>

namespace listings {

// Opens a cell for its correction: a line for a short value, a box of several lines
// for one that holds a line break or is too long to read on one line. Neither cuts
// a value, whatever its length (a line edit would stop at 32,767 characters). The
// editor carries the column's name, so that a screen reader says what is corrected.
class CellEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Values up to this long that hold no line break are corrected on one line.
    static constexpr int kOneLine = 200;
};

}  // namespace listings
