#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "controltable.h"

class QLabel;
class QMdiSubWindow;

namespace shell {

class Windows;
class Desk;
class MessageSink;

// A window inside the main frame's work area. Each kind exists at most once and is
// opened and closed through the window rules (windows.h). A subclass builds its
// controls in its constructor and does its load step in formLoad().
class ChildWindow : public QWidget {
    Q_OBJECT
public:
    ChildWindow(const QString& name, const QString& caption);

    // Form_Load: runs once each time the window is loaded. May throw.
    virtual void formLoad() = 0;
    // Asked before the close box or the frame's closing unloads the window: one that
    // holds work not yet stored stores it now, or says why it cannot and stays open.
    virtual bool mayClose() { return true; }

    // Geometry of the whole window, border and caption included, in twips.
    double widthTwips() const { return width_; }
    double heightTwips() const { return height_; }
    double topTwips() const { return top_; }
    double leftTwips() const { return left_; }
    void setSizeTwips(double width, double height);
    void setHeightTwips(double height) { setSizeTwips(width_, height); }
    void setTopTwips(double top);
    void setLeftTwips(double left);

    // Top = (reference height - height) / 3, Left = (reference width - width) / 2,
    // fractions kept.
    void placeAgainst(double referenceWidth, double referenceHeight);
    void placeOnScreen();
    // A resizable window that wants all the room there is: the frame's whole work area.
    void fillWorkArea();

    // Shows the picture file of the program's folder across the top of the window.
    // Throws Failure when the file is missing or cannot be read.
    void showHeaderPicture(QLabel* picture, const QString& fileName, double heightTwips = 680);

    const Controls& controls() const { return controls_; }

    // A window that the operator may resize and maximise inside the frame; the others
    // keep the size their load step gives them.
    bool isResizable() const { return resizable_; }

    // The window rules of the frame that opened this window.
    Windows& windows() const { return *rules_; }
    // The desk it works with: its folders, its database and its messages.
    Desk& desk() const;
    // Whether it was opened by the window rules, and so has a desk.
    bool hasDesk() const { return rules_ != nullptr; }
    MessageSink& messages() const;
    // Unloads the window (window rules); nothing when it is closed already, whatever
    // window of its kind has been opened since.
    void closeWindow();
    // Whether the window is still the open window of its kind. A handler that waited
    // in a message box asks before it goes on: meanwhile the window may have been
    // closed and another of its kind opened, for another listing.
    bool isCurrent() const;

    // The child window that holds the object, or nullptr.
    static ChildWindow* of(QObject* object);

    // A handler of the window is running. It may be waiting in a message box, whose
    // event loop still lets an accessibility client press the window's buttons:
    // closing the window then only hides it, and it goes once its last running
    // handler has returned (window rules).
    bool isBusy() const { return busy_ > 0; }

    // Counts the window busy for as long as it lives; nothing for nullptr.
    class Busy {
    public:
        explicit Busy(ChildWindow* window);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        QPointer<ChildWindow> window_;
    };

protected:
    void build(std::span<const ControlSpec> specs);
    void setResizable() { resizable_ = true; }
    Controls controls_;

private:
    friend class Windows;
    void applyGeometry();
    QMdiSubWindow* subWindow() const;

    Windows* rules_ = nullptr;
    int busy_ = 0;
    bool closeWhenIdle_ = false;
    bool resizable_ = false;
    bool fillsWorkArea_ = false;
    double width_ = 0, height_ = 0, top_ = 0, left_ = 0;
};

}  // namespace shell
