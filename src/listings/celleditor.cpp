#include "celleditor.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <limits>

#include "shell/controltext.h"

namespace listings {

namespace {

bool needsLines(const QString& value) {
    return value.size() > CellEditor::kOneLine || value.contains(QLatin1Char('\n')) ||
           value.contains(QLatin1Char('\r'));
}

}  // namespace

QWidget* CellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                  const QModelIndex& index) const {
    const QString value = index.data(Qt::EditRole).toString();
    const QString name = index.model()->headerData(index.column(), Qt::Horizontal).toString();
    QWidget* editor = nullptr;
    if (needsLines(value)) {
        auto* lines = new QPlainTextEdit(parent);
        // Tab leaves the box, as it leaves a cell; Enter starts a new line.
        lines->setTabChangesFocus(true);
        editor = lines;
    } else {
        auto* line = new QLineEdit(parent);
        line->setMaxLength(std::numeric_limits<int>::max());
        line->setFrame(false);
        editor = line;
    }
    editor->setObjectName(QStringLiteral("CellEditor"));
    editor->setAccessibleName(name);
    return editor;
}

void CellEditor::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString value = index.data(Qt::EditRole).toString();
    if (auto* lines = qobject_cast<QPlainTextEdit*>(editor))
        lines->setPlainText(value);
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(value);
}

void CellEditor::setModelData(QWidget* editor, QAbstractItemModel* model,
                              const QModelIndex& index) const {
    model->setData(index, shell::textOf(editor), Qt::EditRole);
}

void CellEditor::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const {
    if (!qobject_cast<QPlainTextEdit*>(editor)) {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        return;
    }
    // Room for several lines below the cell, as wide as the view allows.
    QRect place = option.rect;
    const QWidget* view = editor->parentWidget();
    place.setWidth(
        std::max(place.width(), std::min(480, view ? view->width() - place.left() : 480)));
    place.setHeight(std::max(place.height(), 8 * option.fontMetrics.height()));
    if (view && place.bottom() > view->height())
        place.moveBottom(std::max(place.height(), view->height()) - 1);
    editor->setGeometry(place);
}

}  // namespace listings
