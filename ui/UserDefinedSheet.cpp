#include "ui/UserDefinedSheet.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/NumericEdit.h"

namespace tw::ui {

namespace {

struct TFieldDef
{
    const char* caption;
    const char* unit; // English; the SI label is derived from it
    long double TSteelShape::*member;
};

constexpr std::array<TFieldDef, TfrmUserDefinedSheet::kFieldCount> kFields{{
    {"Width", "in", &TSteelShape::d},
    {"Height", "in", &TSteelShape::bf},
    {"Thickness", "in", &TSteelShape::tw},
    {"Ix", "in^4", &TSteelShape::Ix},
    {"Sx", "in^3", &TSteelShape::Sx},
}};

constexpr int kClientWidth = 214;
constexpr int kClientHeight = 186;
constexpr int kFrameButtonsWidth = 130;

// The SI caption of a label: its first "in" becomes "cm" and its first "plf" becomes "kg/m".
QString SICaption(QString caption)
{
    if (const qsizetype at = caption.indexOf(QLatin1String("in")); at >= 0)
        caption.replace(at, 2, QStringLiteral("cm"));
    if (const qsizetype at = caption.indexOf(QLatin1String("plf")); at >= 0)
        caption.replace(at, 3, QStringLiteral("kg/m"));
    return caption;
}

// The width a window frame needs to show a caption whole: the text in the frame's font (taken a
// quarter larger than the dialog's, as title fonts often are) plus the icon and the three frame
// buttons.
int CaptionRoom(const QString& caption)
{
    const QFontMetrics metrics(QApplication::font());
    return metrics.horizontalAdvance(caption) * 5 / 4 + kFrameButtonsWidth;
}

} // namespace

TfrmUserDefinedSheet::TfrmUserDefinedSheet(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("User Defined Sheet Pile"));
    setModal(true);

    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < kFieldCount; ++i) {
        const TFieldDef& def = kFields[static_cast<std::size_t>(i)];
        auto* caption = new QLabel(QString::fromLatin1(def.caption), panel);
        auto* edit = new TNumericEdit(panel);
        auto* unit = new QLabel(QString::fromLatin1(def.unit), panel);
        caption->setBuddy(edit);
        edit->installEventFilter(this);
        grid->addWidget(caption, i, 0);
        grid->addWidget(edit, i, 1);
        grid->addWidget(unit, i, 2);
        edits_[static_cast<std::size_t>(i)] = edit;
        units_[static_cast<std::size_t>(i)] = unit;
    }
    grid->setColumnStretch(1, 1);
    // Room for "cm^4" beside the edits.
    grid->setColumnMinimumWidth(2, fontMetrics().horizontalAdvance(QStringLiteral("cm^4")));

    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);

    for (QLabel* label : findChildren<QLabel*>())
        captions_.emplace_back(label, label->text());

    // Wide enough that the window frame shows the whole caption beside its buttons.
    setFixedSize(std::max(kClientWidth, CaptionRoom(windowTitle())), kClientHeight);
}

void TfrmUserDefinedSheet::load(const TSteelShape& shape, bool si)
{
    shape_ = shape;
    limits_ = &InputLimitsFor(si ? TUnitSystem::usSI : TUnitSystem::usEnglish);
    for (const auto& [label, english] : captions_)
        label->setText(si ? SICaption(english) : english);
    for (int i = 0; i < kFieldCount; ++i) {
        TNumericEdit* edit = edits_[static_cast<std::size_t>(i)];
        const long double value = shape_.*kFields[static_cast<std::size_t>(i)].member;
        edit->setText(QString::fromStdString(
            ShowNumber(*limits_, Tag::DialogNumber, false, value, edit->numberFormat())));
    }
}

TSteelShape TfrmUserDefinedSheet::section() const
{
    TSteelShape shape = shape_;
    for (int i = 0; i < kFieldCount; ++i)
        shape.*kFields[static_cast<std::size_t>(i)].member = readEdit(static_cast<Field>(i));
    return shape;
}

long double TfrmUserDefinedSheet::readEdit(Field field) const
{
    const TNumericEdit* edit = edits_[field];
    return ReadNumber(*limits_, Tag::DialogNumber, edit->text().toStdString(), 0, 0,
                      edit->numberFormat())
        .value;
}

void TfrmUserDefinedSheet::reformat(Field field)
{
    TNumericEdit* edit = edits_[field];
    const std::string text =
        ShowNumber(*limits_, Tag::DialogNumber, false, readEdit(field), edit->numberFormat());
    if (edit->text().toStdString() != text)
        edit->setText(QString::fromStdString(text));
}

void TfrmUserDefinedSheet::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        QWidget* focus = focusWidget();
        if (focus == nullptr || !focus->inherits("QAbstractButton")) {
            focusNextChild();
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

bool TfrmUserDefinedSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        // A context menu or a switch to another window does not leave the edit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            for (int i = 0; i < kFieldCount; ++i)
                if (watched == edits_[static_cast<std::size_t>(i)])
                    reformat(static_cast<Field>(i));
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool EditUserSheetPile(TTWData& project, QWidget* parent)
{
    TfrmUserDefinedSheet dialog(parent);
    dialog.load(project.GetSection(), project.Units == TUnitSystem::usSI);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    project.SetUserSection(dialog.section());
    return true;
}

} // namespace tw::ui
