#include "keypress.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

#include "action.h"

namespace shell {

namespace {

int characterCode(const QKeyEvent* event) {
    if (isEnter(event))
        return kEnter;
    const QString text = event->text();
    if (text.size() != 1 || event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return 0;
    const QChar c = text.at(0);
    return c.isPrint() ? c.unicode() : 0;
}

class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QWidget* control, KeyPressHandler handler)
        : QObject(control), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || forwarding_)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = characterCode(key);
        if (code == 0)
            return false;
        int result = code;
        runAction(watched, [&] { result = handler_(code); });
        if (result == code)
            return false;  // the control receives the key as typed
        if (result != 0) {
            // Deliver the changed character in place of the typed one.
            const QString text = QString(QChar(char16_t(result)));
            QKeyEvent changed(QEvent::KeyPress, key->key(), key->modifiers(), text,
                              key->isAutoRepeat(), ushort(key->count()));
            QPointer<QObject> target(watched);
            forwarding_ = true;
            QCoreApplication::sendEvent(target, &changed);
            forwarding_ = false;
        }
        return true;
    }

private:
    KeyPressHandler handler_;
    bool forwarding_ = false;
};

}  // namespace

bool isEnter(const QKeyEvent* event, Qt::KeyboardModifiers modifiers) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    return enter && (event->modifiers() & ~Qt::KeypadModifier) == modifiers;
}

void onKeyPress(QWidget* control, KeyPressHandler handler) {
    auto* filter = new KeyPressFilter(control, std::move(handler));
    // An editable combo box hands its keys on to its line edit; watch the box only,
    // so that every key is reported once.
    control->installEventFilter(filter);
}

void onKeyRead(QWidget* control, std::function<void(int code)> handler) {
    onKeyPress(control, [handler = std::move(handler)](int code) {
        handler(code);
        return code;
    });
}

}  // namespace shell
