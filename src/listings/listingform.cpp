#include "listingform.h"

#include <QBoxLayout>
#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>

#include "db/listing.h"
#include "db/schema.h"
#include "listingsmodel.h"
#include "shell/textfields.h"

namespace listings {

namespace {

// The entry windows' groups, by the first column of each: the publication of the
// first window, the address of the second, the details and the agents of the third.
struct Group {
    const char* title;
    db::Column first;
};
constexpr Group kGroups[] = {
    {"Publication", db::Column::ListingState},
    {"Address", db::Column::UnitNo},
    {"Details", db::Column::SaleType},
    {"Agents", db::Column::Agent1Agency},
};

}  // namespace

ListingForm::ListingForm(ListingsModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setObjectName(QStringLiteral("Form1"));
    setAccessibleName(QStringLiteral("Listing"));
    auto* inside = new QWidget;
    auto* groups = new QVBoxLayout(inside);
    const QStringList& columns = db::schema::dataColumns();
    for (int g = 0; g < int(std::size(kGroups)); ++g) {
        const int first = int(kGroups[g].first);
        const int end =
            g + 1 < int(std::size(kGroups)) ? int(kGroups[g + 1].first) : int(columns.size());
        auto* box = new QGroupBox(QLatin1String(kGroups[g].title));
        auto* form = new QFormLayout(box);
        for (int column = first; column < end; ++column) {
            auto* field = new QLineEdit;
            field->setObjectName(QStringLiteral("Form_") + columns.at(column));
            field->setAccessibleName(columns.at(column));
            shell::takeAnyText(field);
            // Only what the operator types is an edit: a value shown is never written back.
            connect(field, &QLineEdit::textEdited, this, [this, column](const QString& text) {
                if (row_ >= 0)
                    model_.setData(model_.index(row_, column), text, Qt::EditRole);
            });
            form->addRow(columns.at(column), field);
            fields_.append(field);
        }
        groups->addWidget(box);
    }
    groups->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidget(inside);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* previous = new QPushButton(QStringLiteral("&Previous"));
    previous->setObjectName(QStringLiteral("FormPrevious"));
    auto* next = new QPushButton(QStringLiteral("&Next"));
    next->setObjectName(QStringLiteral("FormNext"));
    connect(previous, &QPushButton::clicked, this, [this] { emit step(-1); });
    connect(next, &QPushButton::clicked, this, [this] { emit step(1); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(previous);
    buttons->addWidget(next);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(scroll, 1);
    column->addLayout(buttons);
}

void ListingForm::showRow(int row) {
    const bool sameRow = row == row_;
    row_ = row;
    const QStringList values = row >= 0 ? model_.shownValues(row) : QStringList();
    for (int column = 0; column < fields_.size(); ++column) {
        QLineEdit* field = fields_.at(column);
        if (sameRow && field->hasFocus() && field->isModified())
            continue;
        field->setText(values.value(column));
        // A value stored as bytes by another program is told as the table tells it.
        const QString told =
            row >= 0 ? model_.data(model_.index(row, column), Qt::ToolTipRole).toString()
                     : QString();
        field->setToolTip(told);
        field->setAccessibleDescription(told);
        QFont font = field->font();
        font.setItalic(!told.isEmpty());
        field->setFont(font);
        field->setModified(false);
        field->setCursorPosition(0);
        field->setEnabled(row >= 0);
    }
}

}  // namespace listings
