#include "controltable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <algorithm>

#include "commandbutton.h"
#include "twips.h"

namespace shell {

Look centred(double pointSize, QColor color, bool bold) {
    return {Qt::AlignCenter, pointSize, color, bold, {}};
}

Look rightAligned() {
    return {Qt::AlignRight | Qt::AlignVCenter, 0, {}, false, {}};
}

Look banner(double pointSize) {
    return centred(pointSize, Qt::red);
}

QString element(const QString& array, int index) {
    return QStringLiteral("%1(%2)").arg(array).arg(index);
}

namespace {

QString plainCaption(QString caption) {
    return caption.remove(QLatin1Char('&')).trimmed();
}

QWidget* makeWidget(const ControlSpec& row, QWidget* parent) {
    switch (row.kind) {
        case Kind::Label:
        case Kind::Band: {
            auto* label = new QLabel(row.caption, parent);
            label->setAlignment(row.look.align);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
        case Kind::Picture: {
            auto* picture = new QLabel(parent);
            picture->setScaledContents(true);
            return picture;
        }
        case Kind::TextBox: {
            auto* edit = new QLineEdit(parent);
            edit->setAlignment(row.look.align);
            return edit;
        }
        case Kind::TextArea: {
            auto* edit = new QPlainTextEdit(parent);
            edit->setTabChangesFocus(true);
            return edit;
        }
        case Kind::ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(true);
            // Enter moves the focus on; it must not add the typed text to the list.
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setDuplicatesEnabled(true);
            // Nor may it complete a typed "vic" to a listed "VIC": what the operator
            // types is what is stored.
            combo->setCompleter(nullptr);
            return combo;
        }
        case Kind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setUniformItemSizes(true);
            return list;
        }
        case Kind::Button:
            return new CommandButton(row.caption, parent);
        case Kind::CheckBox:
            return new QCheckBox(row.caption, parent);
        case Kind::OptionButton:
            return new QRadioButton(row.caption, parent);
        case Kind::Rule: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
    }
    return nullptr;
}

void applyLook(QWidget* widget, const ControlSpec& row) {
    if (row.look.pointSize > 0 || row.look.bold) {
        QFont font = widget->font();
        if (row.look.pointSize > 0)
            font.setPointSizeF(row.look.pointSize);
        font.setBold(row.look.bold);
        widget->setFont(font);
    }
    QPalette palette = widget->palette();
    if (row.look.color.isValid()) {
        palette.setColor(QPalette::WindowText, row.look.color);
        palette.setColor(QPalette::Text, row.look.color);
    }
    if (row.look.background.isValid()) {
        palette.setColor(QPalette::Window, row.look.background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

QRect placeOf(const ControlSpec& row, const QWidget* parent) {
    if (row.kind == Kind::Rule)  // a rule runs across the window at its top
        return QRect(0, toPixels(row.top) - 1, std::max(parent->width(), 2000), 2);
    return twipsRect(row.left, row.top, row.width, row.height);
}

}  // namespace

QWidget* Controls::firstFocusable() const {
    for (QWidget* widget : tabOrder_) {
        if (widget->isEnabled() && widget->isVisibleTo(widget->window()) &&
            (widget->focusPolicy() & Qt::TabFocus))
            return widget;
    }
    return nullptr;
}

Controls buildControls(QWidget* parent, std::span<const ControlSpec> rows) {
    Controls controls;
    QHash<QString, QString> captions;
    for (const ControlSpec& row : rows)
        captions.insert(row.name, row.caption);

    QList<std::pair<int, QWidget*>> ordered;
    for (const ControlSpec& row : rows) {
        QWidget* widget = makeWidget(row, parent);
        widget->setObjectName(row.name);
        widget->setGeometry(placeOf(row, parent));
        applyLook(widget, row);
        const QString named = row.buddy.isEmpty() ? row.caption : captions.value(row.buddy);
        widget->setAccessibleName(plainCaption(named.isEmpty() ? row.name : named));
        if (row.kind == Kind::Label || row.kind == Kind::Band || row.kind == Kind::Picture ||
            row.kind == Kind::Rule)
            widget->setFocusPolicy(Qt::NoFocus);
        controls.byName_.insert(row.name, widget);
        if (row.tab >= 0)
            ordered.append({row.tab, widget});
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QWidget* previous = nullptr;
    for (const auto& [tab, widget] : ordered) {
        controls.tabOrder_.append(widget);
        if (widget->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
    return controls;
}

}  // namespace shell
