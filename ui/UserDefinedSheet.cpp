#include "ui/UserDefinedSheet.h"

#include <algorithm>

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFontMetrics>
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

constexpr int kClientWidth = 214;
constexpr int kClientHeight = 186;
constexpr int kFrameButtonsWidth = 130;

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
        const std::string_view text = form::TUserSheetForm::Caption(static_cast<Field>(i));
        auto* caption =
            new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), panel);
        auto* edit = new TNumericEdit(panel);
        auto* unit = new QLabel(panel);
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

    load(TSteelShape{}, false);
    // Wide enough that the window frame shows the whole caption beside its buttons.
    setFixedSize(std::max(kClientWidth, CaptionRoom(windowTitle())), kClientHeight);
}

void TfrmUserDefinedSheet::load(const TSteelShape& shape, bool si)
{
    model_.Load(shape, si);
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        units_[field]->setText(QString::fromStdString(model_.Unit(field)));
        edits_[field]->setText(
            QString::fromStdString(model_.Text(field, edits_[field]->numberFormat())));
    }
}

TSteelShape TfrmUserDefinedSheet::section() const
{
    // The boxes as they stand, also text set without typing.
    for (int i = 0; i < kFieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        model_.SetText(field, edits_[field]->text().toStdString(), edits_[field]->numberFormat());
    }
    return model_.Section();
}

void TfrmUserDefinedSheet::reformat(Field field)
{
    TNumericEdit* edit = edits_[field];
    model_.SetText(field, edit->text().toStdString(), edit->numberFormat());
    const QString text = QString::fromStdString(model_.Text(field, edit->numberFormat()));
    if (edit->text() != text)
        edit->setText(text);
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

std::optional<form::TCommitResult> EditUserSheetPile(form::TMainForm& form, QWidget* parent)
{
    TfrmUserDefinedSheet dialog(parent);
    const TTWData& project = form.Project();
    dialog.load(project.GetSection(), project.Units == TUnitSystem::usSI);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return form.SetUserSection(dialog.section());
}

} // namespace tw::ui
