#include "ui/MainWindowParts.h"

#include <QColor>
#include <QFrame>
#include <QHBoxLayout>
#include <QPalette>
#include <QToolButton>
#include <QWidget>

namespace tw::ui::parts {

void SetRed(QLabel* label, bool red)
{
    if (label == nullptr)
        return;
    const QString sheet = red ? QStringLiteral("color: #C00000;") : QString();
    if (label->styleSheet() != sheet)
        label->setStyleSheet(sheet);
}

void RetainSize(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

bool UserMovedFocus(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

QFrame* MakeBanner(const QColor& background, const QColor& foreground, QWidget* parent)
{
    auto* banner = new QFrame(parent);
    banner->setFrameStyle(QFrame::Box | QFrame::Plain);
    banner->setAutoFillBackground(true);
    QPalette pal = banner->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, foreground);
    banner->setPalette(pal);
    auto* layout = new QHBoxLayout(banner);
    layout->setContentsMargins(6, 3, 3, 3);
    auto* text = new QLabel(banner);
    text->setObjectName(QStringLiteral("text"));
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text, 1);
    banner->hide();
    return banner;
}

QHBoxLayout* RowLayout(QWidget* row)
{
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(kRowSpacing);
    return layout;
}

QWidget* Gap(int width, QWidget* parent)
{
    auto* gap = new QWidget(parent);
    gap->setFixedSize(width, 0);
    return gap;
}

QToolButton* LinkButton(const QString& text, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral(
        "QToolButton { color: #0645AD; text-decoration: underline; border: none; padding: 0px; }"));
    return button;
}

QToolButton* SmallButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(20, 20);
    return button;
}

} // namespace tw::ui::parts
