#include "ui/LightestSection.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "engine/Globals.h"

namespace tw::ui {

TfrmLightestSection::TfrmLightestSection(const form::TLightestSections& found, QWidget* parent)
    : QDialog(parent), found_(found)
{
    setWindowTitle(QStringLiteral("Lightest Section"));
    resize(620, 520);
    auto* layout = new QVBoxLayout(this);
    int passing = 0;
    for (const auto& c : found_.rows)
        passing += c.passes;
    const bool weights = !found_.rows.empty() && found_.rows.front().weight >= 0;
    auto* intro = new QLabel(this);
    intro->setWordWrap(true);
    intro->setText(
        QStringLiteral("%1 of the %2 %3 pass every check, %4. Choose one and Apply to use it.")
            .arg(passing)
            .arg(found_.rows.size())
            .arg(QString::fromStdString(found_.catalogue))
            .arg(weights ? QStringLiteral("lightest first")
                         : QStringLiteral("in catalogue order (the catalogue gives no weights)")));
    layout->addWidget(intro);

    table_ = new QTableWidget(static_cast<int>(found_.rows.size()), 4, this);
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("Section"),
         QStringLiteral("Weight, %1").arg(QString::fromStdString(found_.weightUnit)),
         QStringLiteral("Checks"), QStringLiteral("Governing check")});
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < table_->rowCount(); ++r) {
        const form::TSectionCandidate& c = found_.rows[static_cast<std::size_t>(r)];
        QString governing = QString::fromStdString(c.governing);
        if (c.passes && c.utilization == c.utilization)
            governing += QStringLiteral(" %1 %").arg(
                QString::fromStdString(FormatFixed(c.utilization, 0, 10, ".")));
        if (!c.analysed)
            governing = QStringLiteral("analysis failed: ") + QString::fromStdString(c.failure);
        const QString cells[] = {
            QString::fromStdString(c.name),
            c.weight >= 0 ? QString::fromStdString(FormatFixed(c.weight, 1, 10, "."))
                          : QStringLiteral("-"),
            c.passes ? QStringLiteral("pass") : QStringLiteral("FAIL"), governing};
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem(cells[col]);
            if (col == 1)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!c.passes)
                item->setForeground(QColor(200, 0, 0));
            item->setToolTip(cells[col]);
            table_->setItem(r, col, item);
        }
    }
    table_->resizeColumnsToContents();
    layout->addWidget(table_, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    apply_ = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
    apply_->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemSelectionChanged, this,
            [this] { apply_->setEnabled(ChosenIndex() >= 0); });
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this] {
        if (ChosenIndex() >= 0)
            accept();
    });
    if (passing > 0)
        table_->selectRow(0);
}

int TfrmLightestSection::ChosenIndex() const
{
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(found_.rows.size()) || table_->selectedItems().isEmpty())
        return -1;
    return found_.rows[static_cast<std::size_t>(row)].index;
}

} // namespace tw::ui
