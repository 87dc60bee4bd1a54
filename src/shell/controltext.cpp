#include "controltext.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace shell {

QString textOf(const QWidget* control) {
    if (auto* line = qobject_cast<const QLineEdit*>(control))
        return line->text();
    if (auto* box = qobject_cast<const QComboBox*>(control))
        return box->currentText();
    if (auto* area = qobject_cast<const QPlainTextEdit*>(control)) {
        // toPlainText() would also turn non-breaking spaces into plain ones, and a
        // typed line separator (U+2028) into a line break. The raw text ends each
        // line with a paragraph separator.
        QString text = area->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return text;
    }
    return {};
}

}  // namespace shell
