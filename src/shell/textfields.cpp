#include "textfields.h"

#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>
#include <algorithm>
#include <limits>

#include "base/utf8text.h"

namespace shell {

namespace {

// What the operator types or pastes is kept as it is, but for NUL characters: no
// engine stores them inside a text, and nobody can see them to take them out.
QString withoutNul(QString text) {
    return text.remove(QChar(u'\0'));
}

// Nor is half a surrogate pair kept, however it came (an input method, an
// accessibility client that deleted one unit): it becomes U+FFFD, which the field
// shows for it already and which the database can hold.
class CleanText : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        pos -= int(input.left(pos).count(QChar(u'\0')));
        input = asTyped(input);
        return Acceptable;
    }
};

}  // namespace

QString asTyped(const QString& text) {
    return base::withWholeCharacters(withoutNul(text));
}

void takeAnyText(QLineEdit* edit) {
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setValidator(new CleanText(edit));
}

namespace {

class TextArea : public QPlainTextEdit {
public:
    explicit TextArea(QWidget* parent) : QPlainTextEdit(parent) {
        connect(document(), &QTextDocument::contentsChange, this, &TextArea::wholeCharacters);
    }

protected:
    void insertFromMimeData(const QMimeData* source) override {
        if (!source->hasText())
            return QPlainTextEdit::insertFromMimeData(source);
        QMimeData clean;
        clean.setText(withoutNul(source->text()));
        QPlainTextEdit::insertFromMimeData(&clean);
    }

private:
    // The units around a change are checked: a change can also split a pair that was
    // whole before it.
    void wholeCharacters(int position, int, int added) {
        QTextDocument* text = document();
        const int from = std::max(0, position - 1);
        const int to = std::min(text->characterCount(), position + added + 1);
        for (int at = from; at < to; ++at) {
            const QChar c = text->characterAt(at);
            if (!c.isSurrogate())
                continue;
            const bool paired = c.isHighSurrogate() ? text->characterAt(at + 1).isLowSurrogate()
                                                    : text->characterAt(at - 1).isHighSurrogate();
            if (paired) {
                at += c.isHighSurrogate() ? 1 : 0;
                continue;
            }
            QTextCursor cursor(text);
            cursor.setPosition(at);
            cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            cursor.insertText(QString(QChar::ReplacementCharacter));
        }
    }
};

}  // namespace

QPlainTextEdit* newTextArea(QWidget* parent) {
    auto* edit = new TextArea(parent);
    // Tab leaves the box, as it leaves every other field; Enter starts a new line.
    edit->setTabChangesFocus(true);
    return edit;
}

}  // namespace shell
