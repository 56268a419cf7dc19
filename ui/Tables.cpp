#include "ui/Tables.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/NumericEdit.h"

namespace tw::ui {

namespace {

struct TRowDef
{
    const char* english;
    const char* si;
    int decimals;
    long double TInteractionPoint::*field;
};

// The fields of an interaction point in the order of the record.
constexpr std::array<TRowDef, TfrmTable::kRowCount> kRows{{
    {"c, in", "c, mm", 2, &TInteractionPoint::c},
    {"Eps1", "Eps1", 3, &TInteractionPoint::eps1},
    {"Fs1, ksi", "Fs1, MPa", 1, &TInteractionPoint::fs1},
    {"Eps2", "Eps2", 3, &TInteractionPoint::eps2},
    {"Fs2, ksi", "Fs2, MPa", 1, &TInteractionPoint::fs2},
    {"Eps3", "Eps3", 3, &TInteractionPoint::eps3},
    {"Fs3, ksi", "Fs3, MPa", 1, &TInteractionPoint::fs3},
    {"Theta, rad", "Theta, rad", 2, &TInteractionPoint::theta},
    {"a, in", "a, mm", 1, &TInteractionPoint::a},
    {"Ac, in^2", "Ac, mm^2", 1, &TInteractionPoint::Ac},
    {"Fc, kip", "Fc, KN", 0, &TInteractionPoint::Fc},
    {"yc, in", "yc, mm", 1, &TInteractionPoint::yc},
    {"Ft, kip", "Ft, KN", 0, &TInteractionPoint::Ft},
    {"yt, in", "yt, mm", 1, &TInteractionPoint::yt},
    {"Phi", "Phi", 2, &TInteractionPoint::phi},
    {"PhiPn, kip", "PhiPn, KN", 0, &TInteractionPoint::phiPn},
    {"PhiMn, k-ft", "PhiMn, KN.m", 0, &TInteractionPoint::phiMn},
}};

// Significant digits of a table value, as in the numeric boxes.
constexpr int kSignificant = 10;
constexpr int kCaptionColumnWidth = 80;
// Narrowest point column, so that short values do not give a cramped table.
constexpr int kMinPointColumnWidth = 64;

// Draws each cell with a rule at its right and bottom edges, so that every column of values
// is visibly the column of the header section above it.
class TGridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Mid));
        const QRect r = option.rect;
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }
};

QString PointCaption(int point)
{
    switch (point) {
    case 0:
        return QStringLiteral("no axial");
    case 3:
        return QStringLiteral("balanced");
    case kInteractionPointCount - 1:
        return QStringLiteral("above Pmax");
    default:
        return {};
    }
}

} // namespace

TfrmTable::TfrmTable(const TTWData& project, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Table of Test Results"));
    setModal(true);

    list_ = new QTreeWidget(this);
    list_->setColumnCount(kColumnCount);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setAlternatingRowColors(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setSectionsMovable(false);
    list_->header()->setStretchLastSection(false);
    list_->setItemDelegate(new TGridDelegate(list_));

    QStringList headers;
    headers << QString();
    for (int point = 0; point < kInteractionPointCount; ++point)
        headers << PointCaption(point);
    list_->setHeaderLabels(headers);
    for (int column = 1; column < kColumnCount; ++column)
        list_->headerItem()->setTextAlignment(column, Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Focus on the button, so that no row looks selected when the table opens.
    buttons->button(QDialogButtonBox::Close)->setFocus();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);

    fill(project);
    fitToContents();
}

void TfrmTable::ShowTable(const TTWData& project, QWidget* parent)
{
    TfrmTable table(project, parent);
    table.exec();
}

QString TfrmTable::RowCaption(int row, TUnitSystem units)
{
    if (row < 0 || row >= kRowCount)
        return {};
    const TRowDef& def = kRows[static_cast<std::size_t>(row)];
    return QString::fromLatin1(units == TUnitSystem::usSI ? def.si : def.english);
}

int TfrmTable::RowDecimals(int row)
{
    if (row < 0 || row >= kRowCount)
        return 2;
    return kRows[static_cast<std::size_t>(row)].decimals;
}

void TfrmTable::fill(const TTWData& project)
{
    const std::string separator = LocaleNumberFormat().decimalSeparator;
    list_->clear();
    for (int row = 0; row < kRowCount; ++row) {
        const TRowDef& def = kRows[static_cast<std::size_t>(row)];
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, RowCaption(row, project.Units));
        for (int point = 0; point < kInteractionPointCount; ++point) {
            const TInteractionPoint& p = project.InteractionPoints[static_cast<std::size_t>(point)];
            // A point the analysis could not place shows N.A. in every row.
            const long double value = p.Defined ? p.*def.field : std::nanl("");
            item->setText(point + 1, QString::fromStdString(FormatFixed(value, def.decimals,
                                                                        kSignificant, separator)));
            item->setTextAlignment(point + 1, Qt::AlignCenter);
        }
    }
}

void TfrmTable::fitToContents()
{
    ensurePolished();
    list_->ensurePolished();
    QHeaderView* header = list_->header();
    list_->resizeColumnToContents(0);
    list_->setColumnWidth(0, std::max(kCaptionColumnWidth, list_->columnWidth(0)));
    for (int column = 1; column < kColumnCount; ++column) {
        list_->resizeColumnToContents(column);
        const int content = std::max(list_->columnWidth(column), header->sectionSizeHint(column));
        list_->setColumnWidth(column, std::max(kMinPointColumnWidth, content + 8));
    }

    // The whole table without scroll bars (two spare pixels for rounding in the view's own
    // layout), unless the screen is smaller than that.
    const int frame = 2 * list_->frameWidth() + 2;
    int width = frame;
    for (int column = 0; column < kColumnCount; ++column)
        width += list_->columnWidth(column);
    const int rowHeight = std::max(list_->sizeHintForRow(0), fontMetrics().height());
    const int height = frame + header->sizeHint().height() + kRowCount * rowHeight;
    list_->setMinimumSize(width, height);
    QSize size = sizeHint();

    QSize limit = size;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // Leave room for the window frame.
        const QSize available = screen->availableSize();
        limit =
            QSize(std::max(200, available.width() - 40), std::max(150, available.height() - 60));
    }
    if (size.width() <= limit.width() && size.height() <= limit.height()) {
        // The view cannot be made smaller than its contents, so it needs no scroll bars (once
        // shown, they may stay even when everything fits).
        list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        list_->setMinimumSize(0, 0);
        size = size.boundedTo(limit);
    }
    resize(size);
}

} // namespace tw::ui
