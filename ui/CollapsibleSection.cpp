#include "ui/CollapsibleSection.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace tw::ui {

namespace {

const QColor kCaptionColour(0x1F, 0x4E, 0x79);
constexpr int kMarkSize = 16;

} // namespace

TCaptionBar::TCaptionBar(QWidget* parent) : QFrame(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kCaptionColour);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
}

void TCaptionBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        event->accept();
        emit clicked();
        return;
    }
    QFrame::mousePressEvent(event);
}

TCollapsibleSection::TCollapsibleSection(QWidget* parent) : QWidget(parent)
{
    bar_ = new TCaptionBar(this);
    auto* barLayout = new QHBoxLayout(bar_);
    barLayout->setContentsMargins(6, 3, 4, 3);
    barLayout->setSpacing(4);
    caption_ = new QLabel(bar_);
    QFont bold = caption_->font();
    bold.setBold(true);
    caption_->setFont(bold);
    mark_ = new QLabel(bar_);
    mark_->setFixedSize(kMarkSize, kMarkSize);
    mark_->hide();
    barLayout->addWidget(caption_, 1);
    barLayout->addWidget(mark_);
    bar_->setFixedHeight(std::max(caption_->sizeHint().height(), kMarkSize) + 6);

    // The clip shows the top part of the body; the body keeps its full height.
    clip_ = new QWidget(this);
    clip_->setFixedHeight(0);
    clip_->installEventFilter(this);
    body_ = new QWidget(clip_);
    bodyLayout_ = new QVBoxLayout(body_);
    bodyLayout_->setContentsMargins(6, 5, 4, 0);
    bodyLayout_->setSpacing(3);
    body_->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar_);
    layout->addWidget(clip_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    timer_.setInterval(kStepInterval);
    connect(&timer_, &QTimer::timeout, this, &TCollapsibleSection::Step);
    connect(bar_, &TCaptionBar::clicked, this, &TCollapsibleSection::captionClicked);
}

void TCollapsibleSection::setCaption(const QString& caption)
{
    if (caption_->text() != caption)
        caption_->setText(caption);
}

int TCollapsibleSection::bodyHeight() const
{
    return clip_->height();
}

int TCollapsibleSection::expandedBodyHeight() const
{
    const int width = clip_->width() > 0 ? clip_->width() : body_->sizeHint().width();
    const int height = bodyLayout_->hasHeightForWidth() ? bodyLayout_->totalHeightForWidth(width)
                                                        : bodyLayout_->totalSizeHint().height();
    return height + kBottomPadding;
}

void TCollapsibleSection::setExpanded(bool expand, bool animate)
{
    expanded_ = expand;
    target_ = expand ? expandedBodyHeight() : 0;
    if (!animate || !isVisible()) {
        timer_.stop();
        SetClipHeight(target_);
        emit animationFinished(expanded_);
        return;
    }
    if (!timer_.isActive())
        timer_.start();
}

void TCollapsibleSection::Step()
{
    const int current = clip_->height();
    // A fifth of the larger height per step, at least one pixel, then the target exactly.
    const int step = std::max(std::max(current, target_) / 5, 1);
    if (std::abs(target_ - current) > step) {
        SetClipHeight(current + (target_ > current ? step : -step));
        return;
    }
    timer_.stop();
    SetClipHeight(target_);
    emit animationFinished(expanded_);
}

void TCollapsibleSection::SetClipHeight(int height)
{
    if (clip_->height() != height || clip_->minimumHeight() != height)
        clip_->setFixedHeight(height);
}

void TCollapsibleSection::FitBody()
{
    const int full = expandedBodyHeight();
    const QSize size(clip_->width(), full - kBottomPadding);
    if (body_->size() != size)
        body_->setGeometry(QRect(QPoint(0, 0), size));
    if (expanded_) {
        target_ = full;
        if (!timer_.isActive())
            SetClipHeight(full);
    }
}

bool TCollapsibleSection::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == clip_ && event->type() == QEvent::Resize) ||
        (watched == body_ && event->type() == QEvent::LayoutRequest))
        FitBody();
    return QWidget::eventFilter(watched, event);
}

} // namespace tw::ui
