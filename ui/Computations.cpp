#include "ui/Computations.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

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

    // Whose nodes: the design's or the soil springs'.
    design_ = new QRadioButton(QString::fromLatin1(form::NodeMethodName(form::TNodeMethod::Design)),
                               this);
    springs_ = new QRadioButton(
        QString::fromLatin1(form::NodeMethodName(form::TNodeMethod::SoilSprings)), this);
    design_->setChecked(true);
    auto* choice = new QHBoxLayout;
    choice->setContentsMargins(0, 0, 0, 0);
    choice->addWidget(design_);
    choice->addWidget(springs_);
    choice->addStretch(1);
    connect(springs_, &QRadioButton::toggled, this, [this](bool on) {
        SetMethod(on ? form::TNodeMethod::SoilSprings : form::TNodeMethod::Design);
    });
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->hide();

    // A spacer column of one pixel, then the six columns of the table.
    table_ = new QTableWidget(0, form::kNodeColumnCount + 1, this);
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
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("&Copy"), QDialogButtonBox::ActionRole);
    save_ = buttons->addButton(QStringLiteral("Save &CSV..."), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(copy_, &QPushButton::clicked, this, [this] { CopyRows(); });
    connect(save_, &QPushButton::clicked, this, [this] {
        const QString offered = method_ == form::TNodeMethod::SoilSprings
                                    ? QStringLiteral("Soil Spring Nodes.csv")
                                    : QStringLiteral("Nodes.csv");
        const QString path = chooseCsvFile ? chooseCsvFile(offered) : QString();
        QString error;
        if (!path.isEmpty() && !SaveCsv(path, &error) && showError)
            showError(error);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addLayout(choice);
    layout->addWidget(note_, 1);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);

    chooseCsvFile = [this](const QString& offered) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save CSV"), offered,
                                            QStringLiteral("CSV files (*.csv)"));
    };
    showError = [this](const QString& message) {
        QMessageBox::critical(this, QStringLiteral("Brenmoor Tarnwick"), message);
    };

    Fill();
    // As wide as the columns (the spacer left out) with room for the scroll bar, cut to the
    // screen; never so narrow that the columns need scrolling.
    const int width = table_->horizontalHeader()->length() - table_->columnWidth(0);
    int clientWidth = std::max(2 * (kMargin + table_->frameWidth()) + width + 30,
                               table_->minimumWidth() + 2 * kMargin);
    if (const QScreen* screen =
            parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen())
        clientWidth = std::min(clientWidth, screen->availableGeometry().width());
    resize(clientWidth, kHeight + buttons->sizeHint().height() + design_->sizeHint().height());
    CentreOnParent(this);
}

QRadioButton* TfrmComputations::methodButton(form::TNodeMethod method) const
{
    return method == form::TNodeMethod::SoilSprings ? springs_ : design_;
}

void TfrmComputations::SetMethod(form::TNodeMethod method)
{
    methodButton(method)->setChecked(true);
    if (method == method_)
        return;
    method_ = method;
    Fill();
}

void TfrmComputations::Fill()
{
    const TTWData& project = form_.Project();
    const auto columns = form::NodeTableColumns(project.Units, method_);
    const auto rows = form::NodeTableRows(project, form_.NumberFormat(), method_);
    const QString note = QString::fromStdString(form::NodeTableNote(project, method_));

    table_->clearContents();
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int c = 0; c < form::kNodeColumnCount; ++c) {
        auto* head = new QTableWidgetItem(QString::fromStdString(columns[c].caption));
        head->setTextAlignment(Qt::AlignCenter);
        table_->setHorizontalHeaderItem(c + 1, head);
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
    // Each column at least its design width, and wider where the font needs it to show the
    // whole caption and every cell.
    for (int c = 1; c <= form::kNodeColumnCount; ++c) {
        table_->resizeColumnToContents(c);
        const int needed =
            std::max(table_->columnWidth(c), table_->horizontalHeader()->sectionSizeHint(c));
        table_->setColumnWidth(c, std::max(columns[c - 1].width, needed));
    }
    if (!rows.empty())
        table_->setCurrentCell(0, 1);
    table_->clearSelection();
    table_->scrollToTop();
    const int scrollBar = table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    table_->setMinimumWidth(table_->horizontalHeader()->length() +
                            std::max(scrollBar, table_->verticalScrollBar()->sizeHint().width()) +
                            2 * table_->frameWidth() + 4);

    // Without rows the reason stands in the table's place.
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    table_->setVisible(note.isEmpty());
    copy_->setEnabled(!rows.empty());
    save_->setEnabled(!rows.empty());
}

void TfrmComputations::CopyRows()
{
    const std::string all = form::NodeTableTabText(form_.Project(), form_.NumberFormat(), method_);
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
    const std::string csv = form::NodeTableCsv(form_.Project(), method_);
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
