#include "celleditor.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "shell/controltext.h"
#include "shell/textfields.h"

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
        // As the entry windows take text: any length, NUL dropped, half pairs U+FFFD.
        editor = shell::newTextArea(parent);
    } else {
        auto* line = new QLineEdit(parent);
        shell::takeAnyText(line);
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
    // Room for several lines, as wide as the view allows, moved left and up where the
    // cell lies near the view's right or bottom edge.
    QRect place = option.rect;
    const QWidget* view = editor->parentWidget();
    const QSize room = view ? view->size() : QSize(480, 8 * option.fontMetrics.height());
    place.setWidth(std::max(place.width(), std::min(480, room.width())));
    place.setHeight(
        std::max(place.height(), std::min(8 * option.fontMetrics.height(), room.height())));
    if (place.right() >= room.width())
        place.moveRight(room.width() - 1);
    if (place.bottom() >= room.height())
        place.moveBottom(room.height() - 1);
    place.moveTopLeft({std::max(place.left(), 0), std::max(place.top(), 0)});
    editor->setGeometry(place);
}

}  // namespace listings
