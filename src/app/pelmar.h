#pragma once

#include <QMainWindow>
#include <QMargins>
#include <functional>

#include "shell/windows.h"

class QMdiArea;

namespace shell {
class Desk;
class MessageSink;
}  // namespace shell

// The main frame: a menu bar over the work area in which every other window opens,
// each working with the frame's desk.
class Pelmar : public QMainWindow {
    Q_OBJECT
public:
    explicit Pelmar(shell::Desk& desk);
    ~Pelmar() override;

    QMdiArea* workArea() const { return workArea_; }
    shell::Windows& windows() { return windows_; }

    // What "Exit" does; the tests replace ending the process.
    void setExitHandler(std::function<void()> handler) { exit_ = std::move(handler); }

    void MDIForm_Load();
    void nState_Click();
    void mStreet_Click();
    void nPropType_Click();
    void nPubName_Click();
    void nDe_Click();
    void nListings_Click();
    void nExport_Click();
    void nEx_Click();
    void nBackup_Click();
    void nAbout_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void createMenus();
    void closeMenus();
    void openWindow(const char* name);

    QMdiArea* workArea_;
    shell::Windows windows_;
    std::function<void()> exit_;
    QMargins fittedFrame_;
};

namespace pelmar {

// Start-up for the given program folder and the office's setting (none when empty),
// every message through `messages`, then the main frame until it closes. Returns the
// process's exit status.
int run(const QString& folder, shell::MessageSink& messages,
        const QString& systemSetting = QString());
// The same for the folder of the running executable and the office's setting that
// its installation has.
int run();

}  // namespace pelmar
