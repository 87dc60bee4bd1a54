#include "exportprogress.h"

#include <QApplication>
#include <QProgressDialog>

#include "shell/messages.h"

namespace exporter {

namespace {

std::chrono::milliseconds delay{1000};
// Events are let through this often: often enough to repaint and to take a click
// on Cancel, seldom enough to cost the export nothing.
constexpr qint64 kEventsEveryMs = 50;
constexpr int kSteps = 1000;

}  // namespace

void ExportProgress::setDelay(std::chrono::milliseconds value) {
    delay = value;
}

ExportProgress::ExportProgress(QWidget* frame, QString fileName)
    : frame_(frame), fileName_(std::move(fileName)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    running_.start();
    sinceEvents_.start();
}

ExportProgress::~ExportProgress() {
    delete dialog_;
    QApplication::restoreOverrideCursor();
}

void ExportProgress::show() {
    dialog_ = new QProgressDialog(QStringLiteral("Exporting the listings to %1...").arg(fileName_),
                                  QStringLiteral("Cancel"), 0, 0, frame_);
    dialog_->setObjectName(QStringLiteral("exportProgress"));
    dialog_->setWindowTitle(shell::Message{}.title);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setMinimumDuration(0);
    dialog_->show();
}

bool ExportProgress::update(const xls::Progress& progress) {
    bool now = false;
    if (!dialog_ && running_.elapsed() >= delay.count()) {
        show();
        now = true;
    }
    // The bar changes its kind when the writing starts: shown at once.
    const bool writing = progress.total > 0;
    now = now || writing != writing_;
    writing_ = writing;
    if (!now && sinceEvents_.elapsed() < kEventsEveryMs)
        return !(dialog_ && dialog_->wasCanceled());
    if (dialog_) {
        // While the table is read its size is not known: the bar only shows activity.
        if (writing) {
            dialog_->setRange(0, kSteps);
            dialog_->setValue(int(progress.done * kSteps / progress.total));
        } else {
            dialog_->setRange(0, 0);
        }
        QApplication::processEvents();
    } else {
        // Before the bar shows, the windows repaint but take no input.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    sinceEvents_.restart();
    return !(dialog_ && dialog_->wasCanceled());
}

}  // namespace exporter
