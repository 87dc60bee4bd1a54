#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <memory>

#include "support/appharness.h"
#include "support/scriptedmessages.h"
#include "support/testfolder.h"

// One lookup editor opened through its menu item in a running program, with the
// statements it runs recorded and its message boxes answered from a script.
class LookupSession {
public:
    LookupSession(const TestFolder& folder, const QString& menuItem, const QString& window);
    ~LookupSession();

    AppHarness& app() { return *app_; }
    ScriptedMessages& messages() { return messages_; }
    // Every statement run since the last take, as the program wrote it.
    QStringList takeStatements();

    void open(const QString& menuItem, const QString& window);
    bool isOpen() const;

    QLineEdit* text1() const;
    QComboBox* combo1() const;
    QListWidget* list1() const;
    QPushButton* button(int index) const;
    QLabel* label(const QString& name) const;
    // The objectName of the focused control (a combo box for its own line edit).
    QString focused() const;

    QStringList listed() const;
    QString selected() const;  // the selected entry's text, empty for none

    void type(const QString& keys);
    void typeInto(QWidget* control, const QString& keys);
    void pressEnter(QWidget* control = nullptr);  // into the focused control by default
    void click(int button);
    void doubleClick(int row);

private:
    ScriptedMessages messages_;
    std::unique_ptr<AppHarness> app_;
    QString window_;
    QStringList statements_;
};
