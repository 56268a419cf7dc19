#include "ui/Computations.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "form/NodeTable.h"
#include "ui/Desktop.h"
#include "ui/DiagramView.h"

namespace tw::ui {

namespace {

constexpr int kMargin = 8;
constexpr int kHeight = 437;

} // namespace

TfrmComputations::TfrmComputations(const form::TMainForm& form, QWidget* parent)
    : QDialog(parent), form_(form)
{
    setWindowTitle(QStringLiteral("Table of Test Results"));
    setModal(true);
    const TTWData& project = form.Project();
    const auto columns = form::NodeTableColumns(project.Units);
    const auto rows = form::NodeTableRows(project, form.NumberFormat());

    // A spacer column of one pixel, then node, depth, shear, moment, slope and deflection.
    table_ = new QTableWidget(static_cast<int>(rows.size()), form::kNodeColumnCount + 1, this);
    table_->verticalHeader()->hide();
    table_->setShowGrid(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->horizontalHeader()->setHighlightSections(false);
    table_->setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
    table_->horizontalHeader()->setMinimumSectionSize(1);
    table_->setColumnWidth(0, 1);
    int width = 0;
    for (int c = 0; c < form::kNodeColumnCount; ++c) {
        auto* head = new QTableWidgetItem(QString::fromStdString(columns[c].caption));
        head->setTextAlignment(Qt::AlignCenter);
        table_->setHorizontalHeaderItem(c + 1, head);
        table_->setColumnWidth(c + 1, columns[c].width);
        width += columns[c].width;
    }
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        auto* spacer = new QTableWidgetItem(QString());
        spacer->setFlags(Qt::NoItemFlags);
        table_->setItem(r, 0, spacer);
        for (int c = 0; c < form::kNodeColumnCount; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            item->setTextAlignment(Qt::AlignCenter);
            table_->setItem(r, c + 1, item);
        }
    }
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // Each column at least its design width, and wider where the font needs it to show the
    // whole caption and every cell.
    width = 0;
    for (int c = 1; c <= form::kNodeColumnCount; ++c) {
        table_->resizeColumnToContents(c);
        const int needed =
            std::max(table_->columnWidth(c), table_->horizontalHeader()->sectionSizeHint(c));
        table_->setColumnWidth(c, std::max(columns[c - 1].width, needed));
        width += table_->columnWidth(c);
    }

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    save_ = buttons->addButton(QStringLiteral("Save &CSV..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(copy_, &QPushButton::clicked, this, [this] { CopyRows(); });
    connect(save_, &QPushButton::clicked, this, [this] {
        const QString path = chooseCsvFile ? chooseCsvFile(QStringLiteral("Nodes.csv")) : QString();
        QString error;
        if (!path.isEmpty() && !SaveCsv(path, &error) && showError)
            showError(error);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(table_);
    layout->addWidget(buttons);

    chooseCsvFile = [this](const QString& offered) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save CSV"), offered,
                                            QStringLiteral("CSV files (*.csv)"));
    };
    showError = [this](const QString& message) {
        QMessageBox::critical(this, QStringLiteral("Brenmoor Tarnwick"), message);
    };

    // As wide as the columns (the spacer left out) with room for the scroll bar, cut to the
    // screen; never so narrow that the columns need scrolling.
    table_->setCurrentCell(0, 1);
    table_->clearSelection();
    const int scrollBar = table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    table_->setMinimumWidth(table_->horizontalHeader()->length() +
                            std::max(scrollBar, table_->verticalScrollBar()->sizeHint().width()) +
                            2 * table_->frameWidth() + 4);
    int clientWidth = std::max(2 * (kMargin + table_->frameWidth()) + width + 30,
                               table_->minimumWidth() + 2 * kMargin);
    if (const QScreen* screen =
            parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen())
        clientWidth = std::min(clientWidth, screen->availableGeometry().width());
    resize(clientWidth, kHeight + buttons->sizeHint().height());
    CentreOnParent(this);
}

void TfrmComputations::CopyRows()
{
    const std::string all = form::NodeTableTabText(form_.Project(), form_.NumberFormat());
    // With rows selected, the header and those rows only.
    std::set<int> selected;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        selected.insert(index.row());
    QString text;
    int line = -1;
    for (const QString& row :
         QString::fromStdString(all).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line < 0 || selected.empty() || selected.count(line))
            text += row + QLatin1Char('\n');
        ++line;
    }
    QGuiApplication::clipboard()->setText(text);
}

bool TfrmComputations::SaveCsv(const QString& path, QString* error) const
{
    const std::string csv = form::NodeTableCsv(form_.Project());
    if (const auto reason =
            WriteWholeFile(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())))) {
        *error = QStringLiteral("Cannot save the table to %1: %2").arg(path, *reason);
        return false;
    }
    return true;
}

void TfrmComputations::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        CopyRows();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ShowComputations(const form::TMainForm& form, QWidget* parent)
{
    TfrmComputations table(form, parent);
    table.exec();
}

} // namespace tw::ui
