#include "exporttarget.h"

#include <QFileDialog>
#include <QFileInfo>

namespace listings {

namespace {

struct Kind {
    const char* filter;
    const char* suffix;
    sheets::Format format;
};

const Kind kKinds[] = {
    {"Excel workbook (*.xlsx)", "xlsx", sheets::Format::Xlsx},
    {"Excel 97 workbook (*.xls)", "xls", sheets::Format::Xls},
    {"CSV (*.csv)", "csv", sheets::Format::Csv},
};

const Kind& kindOfFilter(const QString& filter) {
    for (const Kind& kind : kKinds) {
        if (filter == QLatin1String(kind.filter))
            return kind;
    }
    return kKinds[0];
}

const Kind* kindOfSuffix(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    for (const Kind& kind : kKinds) {
        if (suffix.compare(QLatin1String(kind.suffix), Qt::CaseInsensitive) == 0)
            return &kind;
    }
    return nullptr;
}

}  // namespace

ExportTarget::ExportTarget(QString deskFolder, Chooser chooser)
    : folder_(std::move(deskFolder)), chooser_(std::move(chooser)) {}

std::optional<ExportFile> ExportTarget::choose(QWidget* parent) {
    std::optional<ExportFile> file = chooser_(parent, folder_);
    if (file)
        folder_ = QFileInfo(file->path).absolutePath();
    return file;
}

std::optional<ExportFile> ExportTarget::saveDialog(QWidget* parent, const QString& folder) {
    QFileDialog dialog(parent, QStringLiteral("Export Listings"), folder);
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList filters;
    for (const Kind& kind : kKinds)
        filters.append(QLatin1String(kind.filter));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QLatin1String(kKinds[0].suffix));
    // The dialog adds the default suffix before it asks about replacing a file, so
    // the name it asks about is the name written.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
        dialog.setDefaultSuffix(QLatin1String(kindOfFilter(f).suffix));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = dialog.selectedFiles().constFirst();
    const Kind* named = kindOfSuffix(path);
    return ExportFile{path,
                      named ? named->format : kindOfFilter(dialog.selectedNameFilter()).format};
}

}  // namespace listings
