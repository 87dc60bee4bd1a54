#include "childwindow.h"

#include <QImageReader>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "action.h"
#include "desk.h"
#include "deskfolder.h"
#include "twips.h"
#include "windows.h"

namespace shell {

ChildWindow::ChildWindow(const QString& name, const QString& caption) {
    setObjectName(name);
    setWindowTitle(caption);
    // The places were laid out for an 8-point sans-serif face of narrow metrics; the
    // desktop's usual face and size would cut the longer captions short. Liberation
    // Sans has Arial's metrics, the nearest to the original face.
    QFont face = font();
    face.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    face.setPointSizeF(8);
    setFont(face);
}

void ChildWindow::build(std::span<const ControlSpec> specs) {
    controls_ = buildControls(this, specs);
}

QMdiSubWindow* ChildWindow::subWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void ChildWindow::setSizeTwips(double width, double height) {
    width_ = width;
    height_ = height;
    applyGeometry();
}

void ChildWindow::setTopTwips(double top) {
    top_ = top;
    applyGeometry();
}

void ChildWindow::setLeftTwips(double left) {
    left_ = left;
    applyGeometry();
}

void ChildWindow::placeAgainst(double referenceWidth, double referenceHeight) {
    // Single precision, as the window's own numbers are held.
    top_ = float((float(referenceHeight) - float(height_)) / 3.0f);
    left_ = float((float(referenceWidth) - float(width_)) / 2.0f);
    applyGeometry();
}

void ChildWindow::placeOnScreen() {
    const QSizeF screen = screenTwips();
    placeAgainst(screen.width(), screen.height());
}

void ChildWindow::fillWorkArea() {
    fillsWorkArea_ = true;
    applyGeometry();
}

void ChildWindow::applyGeometry() {
    QRect outer = twipsRect(left_, top_, width_, height_);
    QWidget* target = subWindow() ? static_cast<QWidget*>(subWindow()) : this;
    if (resizable_) {
        target->setMinimumSize(outer.size() / 2);
        if (fillsWorkArea_ && subWindow() && subWindow()->mdiArea())
            outer = QRect(QPoint(0, 0), subWindow()->mdiArea()->viewport()->size());
        target->resize(outer.size());
    } else {
        target->setFixedSize(outer.size());
    }
    target->move(outer.topLeft());
}

void ChildWindow::showHeaderPicture(QLabel* picture, const QString& fileName, double heightTwips) {
    const QString path = picturePath(desk().folder(), desk().dataFolder(), fileName);
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        throw Failure(
            QStringLiteral("Cannot read the picture '%1': %2").arg(path, reader.errorString()));
    picture->setGeometry(0, 0, toPixels(width_), toPixels(heightTwips));
    picture->setPixmap(QPixmap::fromImage(image));
}

void ChildWindow::closeWindow() {
    if (isCurrent())
        rules_->close(objectName());
}

Desk& ChildWindow::desk() const {
    return rules_->desk();
}

MessageSink& ChildWindow::messages() const {
    return desk().messages();
}

bool ChildWindow::isCurrent() const {
    return rules_ && rules_->find(objectName()) == this;
}

ChildWindow* ChildWindow::of(QObject* object) {
    for (; object; object = object->parent()) {
        if (auto* window = qobject_cast<ChildWindow*>(object))
            return window;
    }
    return nullptr;
}

ChildWindow::Busy::Busy(ChildWindow* window) : window_(window) {
    if (window_)
        ++window_->busy_;
}

ChildWindow::Busy::~Busy() {
    if (window_ && --window_->busy_ == 0 && window_->closeWhenIdle_ && window_->rules_)
        window_->rules_->dispose(window_);
}

}  // namespace shell
