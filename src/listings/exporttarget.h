#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "sheets/format.h"

class QWidget;

namespace listings {

// A file an export is to write, and the kind of file.
struct ExportFile {
    QString path;
    sheets::Format format = sheets::Format::Xlsx;
};

// Where the window's exports go. The operator chooses the file in a save dialog that
// opens in the folder chosen last this session (at first the desk folder, where
// Data.xls lies) and asks itself before an existing file is replaced.
class ExportTarget {
public:
    // Asks over `parent`, starting in `folder`; nothing when the operator gives up.
    using Chooser =
        std::function<std::optional<ExportFile>(QWidget* parent, const QString& folder)>;

    explicit ExportTarget(QString deskFolder, Chooser chooser = saveDialog);

    std::optional<ExportFile> choose(QWidget* parent);
    // In place of the dialog: a test answers it.
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    const QString& folder() const { return folder_; }

    // Qt's save dialog with the three kinds, an Excel workbook first. A name without
    // an extension gets the one of the kind chosen; a name whose extension is none of
    // the three is written in the kind chosen.
    static std::optional<ExportFile> saveDialog(QWidget* parent, const QString& folder);

private:
    QString folder_;
    Chooser chooser_;
};

}  // namespace listings
