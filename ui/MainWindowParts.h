// What the main window's source files share: its fixed dimensions, small helpers that build
// or update its widgets, and the guards of its commands. Internal to the window.
#pragma once

#include <QDate>
#include <QLabel>
#include <QObject>
#include <QString>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "form/MainForm.h"

class QColor;
class QFrame;
class QHBoxLayout;
class QToolButton;
class QWidget;

namespace tw::ui::parts {

// Fixed widths of the columns and of the parts of a row, in pixels.
inline constexpr int kInputsWidth = 299;
inline constexpr int kResultsWidth = 430;
inline constexpr int kRowSpacing = 3;
inline constexpr int kInputValueWidth = 64;
inline constexpr int kInputUnitWidth = 50;
inline constexpr int kListCaptionWidth = 96;
inline constexpr int kResultCaptionWidth = 148;
inline constexpr int kResultValueWidth = 58;
inline constexpr int kResultUnitWidth = 44;
inline constexpr int kAtWidth = 12;
inline constexpr int kMarkSize = 16;
inline constexpr int kLogoWidth = 173;
inline constexpr int kLogoButtonWidth = 48;
inline constexpr int kHintMaxWidth = 300;
inline constexpr int kHintGap = 4;
// The margin around the columns and the space between them.
inline constexpr int kOuterMargin = 4;
inline constexpr int kColumnSpacing = 4;
// The left edge of the results column in the window.
inline constexpr int kResultsLeft = kOuterMargin + kInputsWidth + kColumnSpacing;
// The smallest part of a stored window that must lie on a screen for its position to be used.
inline constexpr int kMinVisiblePart = 64;
// The smallest stored size taken as it is.
inline constexpr int kMinStoredWidth = 200;
inline constexpr int kMinStoredHeight = 150;

inline constexpr const char* kDrawingPageCaptions[] = {"CROSS SECTION", "PLAN VIEW", "GUARDRAIL"};

// Day 0 of the serial dates of project files.
inline const QDate kSerialEpoch(1899, 12, 30);

template <class E> constexpr int N(E e)
{
    return static_cast<int>(e);
}

inline QString Q(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Sets a label's text only when it differs (no needless layout pass).
inline void SetText(QLabel* label, const QString& text)
{
    if (label != nullptr && label->text() != text)
        label->setText(text);
}

// The warning colour of a label, on or off.
void SetRed(QLabel* label, bool red);
// A widget that keeps its place in the layout while hidden.
void RetainSize(QWidget* widget);

// An event filter that hands the events it sees to a function.
class TEventHook : public QObject
{
public:
    TEventHook(std::function<bool(QObject*, QEvent*)> filter, QObject* parent)
        : QObject(parent), filter_(std::move(filter))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override { return filter_(watched, event); }

private:
    std::function<bool(QObject*, QEvent*)> filter_;
};

// Whether the focus came to an input because the user moved it there (click, Tab, a
// shortcut, Enter, the window placing it). Focus given back when the window is activated
// again, or when a menu or a drop-down closes, is not a move: the input must not expand its
// section again, which would collapse the one the user opened meanwhile.
bool UserMovedFocus(Qt::FocusReason reason);

// A coloured strip above the results with a wrapped one- or two-line text (child "text").
QFrame* MakeBanner(const QColor& background, const QColor& foreground, QWidget* parent);

// A row's horizontal layout: no margins, the row spacing.
QHBoxLayout* RowLayout(QWidget* row);

// An empty, fixed-width place in a row; unlike a spacing item, the row's spacing applies
// on both sides of it, so the columns of the rows line up.
QWidget* Gap(int width, QWidget* parent);

// A link in the columns ("View Table", "View All Graphs"): underlined blue text.
QToolButton* LinkButton(const QString& text, QWidget* parent);

// The small square buttons beside inputs ("...", "i").
QToolButton* SmallButton(const QString& text, const QString& tip, QWidget* parent);

// Runs a form operation; an exception that escapes the form becomes the error to show.
template <class F> form::TCommitResult Guarded(F&& operation)
{
    try {
        return operation();
    } catch (const std::exception& e) {
        return form::TCommitResult{std::string(e.what())};
    }
}

// Marks the window busy for the lifetime of the guard (nested guards keep it busy).
class TBusy
{
public:
    explicit TBusy(bool& flag) : flag_(flag), previous_(flag) { flag_ = true; }
    ~TBusy() { flag_ = previous_; }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

private:
    bool& flag_;
    bool previous_;
};

} // namespace tw::ui::parts
