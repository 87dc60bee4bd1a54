#pragma once

#include <QComboBox>
#include <QStringList>
#include <memory>

#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

// The running program on a test folder, driven as the operator drives the entry
// windows: keys into the focused control, clicks on buttons and list entries. The
// statements the program runs are recorded and its message boxes answered from a
// script.
class EntrySession {
public:
    explicit EntrySession(const TestFolder& folder) : EntrySession(folder.path()) {}
    // On the folder that stands for the executable's folder.
    explicit EntrySession(const QString& exeFolder);
    ~EntrySession();

    AppHarness& app() { return *app_; }
    ScriptedMessages& messages() { return messages_; }
    // Every statement run since the last take, as the program wrote it.
    QStringList takeStatements() { return std::exchange(statements_, {}); }

    // "Data Entry" on the menu bar.
    void openEntry() { app_->choose(QStringLiteral("nDe")); }
    bool isOpen(const QString& window) const { return app_->window(window) != nullptr; }
    QWidget* control(const QString& window, const QString& name) const;
    template <class T>
    T* control(const QString& window, const QString& name) const {
        return qobject_cast<T*>(control(window, name));
    }
    QComboBox* combo(const QString& window, const QString& name) const {
        return control<QComboBox>(window, name);
    }
    QString text(const QString& window, const QString& name) const;

    // The name of the focused control, "Window.Control" (a combo box for its own
    // line edit); empty when no entry window holds the focus.
    QString focused() const;

    // Typed into the focused control, key by key; a line break as Ctrl+Enter.
    void type(const QString& keys);
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void enter() { press(Qt::Key_Return); }
    // Types into a field that is given the focus first (as by a click into it).
    void typeInto(const QString& window, const QString& name, const QString& keys);
    // A mouse click on a button, check box or option button.
    void click(const QString& window, const QString& name);
    // Picks an entry of a combo box's list with the mouse.
    void pick(const QString& window, const QString& combo, int row);

    // The first two windows filled by keyboard along their Enter paths and submitted
    // with Enter on the focused Submit button.
    void passPart1(const QString& state, const QString& publication, const QString& date);
    void passPart2(const QStringList& nineFields);

private:
    ScriptedMessages messages_;
    std::unique_ptr<AppHarness> app_;
    QStringList statements_;
};
