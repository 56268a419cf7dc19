#include "ui/PageControl.h"

#include <QPaintEvent>
#include <QPainter>

namespace tw::ui {

namespace {

const QColor kActiveText(0, 51, 102);
const QColor kInactiveText(70, 70, 70);
const QColor kInactiveFill(222, 226, 232);
const QColor kBorder(150, 156, 166);
constexpr int kTabPaddingX = 14;
constexpr int kTabPaddingY = 5;

QFont BoldFont(const QFont& base)
{
    QFont bold = base;
    bold.setBold(true);
    return bold;
}

} // namespace

TPageTabBar::TPageTabBar(QWidget* parent) : QTabBar(parent)
{
    setDrawBase(false);
    setExpanding(false);
    setElideMode(Qt::ElideNone);
    setUsesScrollButtons(true);
}

QSize TPageTabBar::tabSizeHint(int index) const
{
    const QFontMetrics metrics(BoldFont(font()));
    return {metrics.horizontalAdvance(tabText(index)) + 2 * kTabPaddingX,
            metrics.height() + 2 * kTabPaddingY};
}

void TPageTabBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(BoldFont(font()));
    // The line the tabs stand on; the active tab interrupts it.
    p.setPen(kBorder);
    p.drawLine(0, height() - 1, width(), height() - 1);
    for (int i = 0; i < count(); ++i) {
        if (!isTabVisible(i))
            continue;
        const QRect tab = tabRect(i);
        if (tab.isEmpty())
            continue;
        const bool active = i == currentIndex();
        const QRect box = active ? tab.adjusted(0, 0, -1, 0) : tab.adjusted(0, 2, -1, -1);
        p.fillRect(box, active ? QColor(Qt::white) : kInactiveFill);
        p.setPen(kBorder);
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.drawLine(box.topRight(), box.bottomRight());
        if (active) {
            // A coloured rule along the top marks the active page.
            p.fillRect(QRect(box.left() + 1, box.top() + 1, box.width() - 1, 2), kActiveText);
        }
        p.setPen(isEnabled() && isTabEnabled(i)
                     ? (active ? kActiveText : kInactiveText)
                     : palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawText(box, Qt::AlignCenter, tabText(i));
    }
}

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent)
{
    setTabBar(new TPageTabBar(this));
    setDocumentMode(true);
}

QStringList TPageControl::visibleTabs() const
{
    QStringList tabs;
    for (int i = 0; i < count(); ++i)
        if (isTabVisible(i))
            tabs << tabText(i);
    return tabs;
}

int TPageControl::tabRowHeight() const
{
    return tabBar()->fontMetrics().height() + 2 * kTabPaddingY;
}

} // namespace tw::ui
