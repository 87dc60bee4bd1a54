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

QWidget* makeWidget(const ControlSpec& spec, QWidget* parent) {
    switch (spec.kind) {
        case Kind::Label:
        case Kind::Band: {
            auto* label = new QLabel(spec.caption, parent);
            label->setAlignment(spec.look.align);
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
            edit->setAlignment(spec.look.align);
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
            return combo;
        }
        case Kind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setUniformItemSizes(true);
            return list;
        }
        case Kind::Button:
            return new CommandButton(spec.caption, parent);
        case Kind::CheckBox:
            return new QCheckBox(spec.caption, parent);
        case Kind::OptionButton:
            return new QRadioButton(spec.caption, parent);
        case Kind::Rule: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
    }
    return nullptr;
}

void applyLook(QWidget* widget, const ControlSpec& spec) {
    if (spec.look.pointSize > 0 || spec.look.bold) {
        QFont font = widget->font();
        if (spec.look.pointSize > 0)
            font.setPointSizeF(spec.look.pointSize);
        font.setBold(spec.look.bold);
        widget->setFont(font);
    }
    QPalette palette = widget->palette();
    if (spec.look.color.isValid()) {
        palette.setColor(QPalette::WindowText, spec.look.color);
        palette.setColor(QPalette::Text, spec.look.color);
    }
    if (spec.look.background.isValid()) {
        palette.setColor(QPalette::Window, spec.look.background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

QRect placeOf(const ControlSpec& spec, const QWidget* parent) {
    if (spec.kind == Kind::Rule)  // a rule runs across the window at its top
        return QRect(0, toPixels(spec.top) - 1, std::max(parent->width(), 2000), 2);
    return twipsRect(spec.left, spec.top, spec.width, spec.height);
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

Controls buildControls(QWidget* parent, std::span<const ControlSpec> specs) {
    Controls controls;
    QHash<QString, QString> captions;
    for (const ControlSpec& spec : specs)
        captions.insert(spec.name, spec.caption);

    QList<std::pair<int, QWidget*>> ordered;
    for (const ControlSpec& spec : specs) {
        QWidget* widget = makeWidget(spec, parent);
        widget->setObjectName(spec.name);
        widget->setGeometry(placeOf(spec, parent));
        applyLook(widget, spec);
        const QString named = spec.buddy.isEmpty() ? spec.caption : captions.value(spec.buddy);
        widget->setAccessibleName(plainCaption(named.isEmpty() ? spec.name : named));
        if (spec.kind == Kind::Label || spec.kind == Kind::Band || spec.kind == Kind::Picture ||
            spec.kind == Kind::Rule)
            widget->setFocusPolicy(Qt::NoFocus);
        controls.byName_.insert(spec.name, widget);
        if (spec.tab >= 0)
            ordered.append({spec.tab, widget});
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
