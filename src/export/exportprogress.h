#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <chrono>

#include "xls/writeprogress.h"

class QProgressDialog;
class QWidget;

namespace exporter {

// What the operator sees of a running export, which holds the program's one thread:
// the wait cursor at once and, once it has run past the delay, a progress bar over
// the frame with a Cancel button. The bar is modal to the whole program, so no other
// window starts anything meanwhile. Cursor and bar go when this object goes.
class ExportProgress {
public:
    // `fileName` names the file being written in the bar's text.
    explicit ExportProgress(QWidget* frame, QString fileName = QStringLiteral("Data.xls"));
    ~ExportProgress();
    ExportProgress(const ExportProgress&) = delete;
    ExportProgress& operator=(const ExportProgress&) = delete;

    // The export's callback: false once the operator has chosen Cancel.
    bool update(const xls::Progress& progress);
    xls::ProgressCallback callback() {
        return [this](const xls::Progress& progress) { return update(progress); };
    }

    // How long an export runs before the bar shows; tests make it 0.
    static void setDelay(std::chrono::milliseconds delay);

private:
    void show();

    QWidget* frame_;
    QString fileName_;
    QElapsedTimer running_;
    QElapsedTimer sinceEvents_;
    QPointer<QProgressDialog> dialog_;
    bool writing_ = false;
};

}  // namespace exporter
