// A collapsible section of the main window's columns: a coloured caption bar (bold white
// caption, an optional verdict mark at its right) above a body of rows. A click on the bar
// emits captionClicked; expanding and collapsing move the visible height of the body in
// animated steps. The body is laid out at its full height and clipped, so a collapsed
// section keeps its rows (their focus order included) and only shows less of them.
#pragma once

#include <QFrame>
#include <QTimer>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace tw::ui {

// The caption bar: reports a left click on itself or on the caption and mark labels.
class TCaptionBar : public QFrame
{
    Q_OBJECT

public:
    explicit TCaptionBar(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TCollapsibleSection : public QWidget
{
    Q_OBJECT

public:
    // The interval of one animation step, in milliseconds.
    static constexpr int kStepInterval = 15;
    // Space below the last row of an expanded section.
    static constexpr int kBottomPadding = 8;

    explicit TCollapsibleSection(QWidget* parent = nullptr);

    // The rows go into the body's vertical layout.
    QWidget* body() const { return body_; }
    QVBoxLayout* bodyLayout() const { return bodyLayout_; }
    TCaptionBar* captionBar() const { return bar_; }
    QLabel* captionLabel() const { return caption_; }
    QLabel* markLabel() const { return mark_; }

    void setCaption(const QString& caption);
    bool isExpanded() const { return expanded_; }
    // Expands or collapses the body; animated in steps unless `animate` is false.
    void setExpanded(bool expand, bool animate = true);
    bool isAnimating() const { return timer_.isActive(); }
    // The visible height of the body now, and the height it moves toward.
    int bodyHeight() const;
    int targetBodyHeight() const { return target_; }
    // The body's height when fully shown (its rows plus the bottom padding).
    int expandedBodyHeight() const;

signals:
    void captionClicked();
    // The body reached its target height.
    void animationFinished(bool expanded);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step();
    void SetClipHeight(int height);
    // Lays the body out at its full height; an expanded, resting section follows its rows.
    void FitBody();

    TCaptionBar* bar_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* mark_ = nullptr;
    QWidget* clip_ = nullptr;
    QWidget* body_ = nullptr;
    QVBoxLayout* bodyLayout_ = nullptr;
    QTimer timer_;
    bool expanded_ = false;
    int target_ = 0;
};

} // namespace tw::ui
