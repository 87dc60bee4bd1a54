#include "controltable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QWheelEvent>
#include <algorithm>

#include "commandbutton.h"
#include "textfields.h"
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

// The wheel scrolls the work area, whatever lies under the pointer: a combo box
// would take it to change its choice as the operator scrolls past.
class ChoiceBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }
};

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
            takeAnyText(edit);
            return edit;
        }
        case Kind::TextArea: {
            return newTextArea(parent);
        }
        case Kind::ComboBox: {
            auto* combo = new ChoiceBox(parent);
            combo->setEditable(true);
            takeAnyText(combo->lineEdit());
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
        // The text colour goes with the background: a dark desktop theme's light text
        // would vanish on a light band.
        if (!row.look.color.isValid())
            palette.setColor(QPalette::WindowText,
                             row.look.background.lightness() > 127 ? Qt::black : Qt::white);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

QRect placeOf(const ControlSpec& row, const QWidget* parent) {
    if (row.kind == Kind::Rule)  // a rule runs across the window at its top
        return QRect(0, toPixels(row.top) - 1, std::max(parent->width(), 2000), 2);
    return twipsRect(row.left, row.top, row.width, row.height);
}

bool isLabel(Kind kind) {
    return kind == Kind::Label || kind == Kind::Band;
}

bool isInput(Kind kind) {
    return kind == Kind::TextBox || kind == Kind::TextArea || kind == Kind::ComboBox ||
           kind == Kind::ListBox;
}

// A left-aligned caption wider than its place runs on into the free space to its right,
// up to the next control on its line: the places were laid out for a narrower face.
void runOn(QLabel* label, const QList<QRect>& others) {
    const QRect place = label->geometry();
    const int needed = label->fontMetrics().horizontalAdvance(label->text()) + place.width() -
                       label->contentsRect().width();
    if (needed <= place.width() || !(label->alignment() & Qt::AlignLeft))
        return;
    int limit = place.left() + needed;
    for (const QRect& other : others) {
        if (other.left() > place.left() && other.top() <= place.bottom() &&
            other.bottom() >= place.top())
            limit = std::min(limit, other.left());
    }
    label->resize(std::max(place.width(), limit - place.left()), place.height());
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
    QList<QRect> places;  // of every control but the rules, for the run-on captions
    for (const ControlSpec& row : rows) {
        QWidget* widget = makeWidget(row, parent);
        widget->setObjectName(row.name);
        widget->setGeometry(placeOf(row, parent));
        applyLook(widget, row);
        // A label announces what it shows now, also when the program changes it; every
        // other control is named by its caption or that of the label beside it.
        if (!isLabel(row.kind)) {
            const QString named = row.buddy.isEmpty() ? row.caption : captions.value(row.buddy);
            widget->setAccessibleName(plainCaption(named.isEmpty() ? row.name : named));
            if (auto* combo = qobject_cast<QComboBox*>(widget))
                combo->lineEdit()->setAccessibleName(widget->accessibleName());
        }
        if (isLabel(row.kind) || row.kind == Kind::Picture || row.kind == Kind::Rule)
            widget->setFocusPolicy(Qt::NoFocus);
        controls.byName_.insert(row.name, widget);
        if (row.tab >= 0)
            ordered.append({row.tab, widget});
        if (row.kind != Kind::Rule)
            places.append(widget->geometry());
    }
    for (const ControlSpec& row : rows) {
        if (row.kind == Kind::Label)
            runOn(controls.get<QLabel>(row.name), places);
        // The label beside an input names it for assistive technology on every
        // platform, also where a combo box announces its text instead of its name.
        auto* label = controls.get<QLabel>(row.buddy);
        if (isInput(row.kind) && label && !label->buddy())
            label->setBuddy(controls.widget(row.name));
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
