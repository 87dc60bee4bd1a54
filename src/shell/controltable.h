#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QWidget>
#include <span>

namespace shell {

enum class Kind {
    Label,
    Band,      // a label on a coloured band across the window
    TextBox,   // one line
    TextArea,  // several lines of free text
    ComboBox,  // editable text with a drop-down list, unsorted
    ListBox,   // single selection, unsorted
    Button,
    CheckBox,
    OptionButton,
    Picture,
    Rule,  // a horizontal line: only its top counts, it runs across the window
};

struct Look {
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    double pointSize = 0;  // 0: the window's font
    QColor color;          // text colour; invalid: the palette's
    bool bold = false;
    QColor background;  // Band and coloured labels
};

// One row of a window's control list. Places are in twips; tab < 0 takes no tab position.
struct ControlSpec {
    QString name = {};  // objectName, index included: "Text1(3)"
    Kind kind = Kind::Label;
    QString caption = {};
    double left = 0, top = 0, width = 0, height = 0;
    int tab = -1;
    QString buddy = {};  // the label whose caption names this control for assistive technology
    Look look = {};
};

// Look presets used across the windows.
Look centred(double pointSize = 0, QColor color = {}, bool bold = false);
Look rightAligned();
Look banner(double pointSize = 13.5);

// The widgets built from a control list, by name, and the focus path of the tab order.
class Controls {
public:
    QWidget* widget(const QString& name) const { return byName_.value(name); }
    template <class T>
    T* get(const QString& name) const {
        return qobject_cast<T*>(widget(name));
    }
    // Controls in tab order, focusable or not.
    const QList<QWidget*>& tabOrder() const { return tabOrder_; }
    // The first control of the tab order that can take the focus now.
    QWidget* firstFocusable() const;

private:
    friend Controls buildControls(QWidget*, std::span<const ControlSpec>);
    QHash<QString, QWidget*> byName_;
    QList<QWidget*> tabOrder_;
};

// Turns a control list into widgets on parent, placed exactly, chained in tab order.
Controls buildControls(QWidget* parent, std::span<const ControlSpec> rows);

// "Text1", 3 -> "Text1(3)": the name of an element of a control array.
QString element(const QString& array, int index);

}  // namespace shell
