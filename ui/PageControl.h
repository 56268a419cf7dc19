// The page controls of the main window (the results column's pages and the drawings column):
// a tab widget whose tabs are drawn by the program itself, with bold captions, the active
// tab white and joined to its page, the others shaded.
#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace tw::ui {

class TPageTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit TPageTabBar(QWidget* parent = nullptr);

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void paintEvent(QPaintEvent* event) override;
};

class TPageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TPageControl(QWidget* parent = nullptr);
    // The captions of the tabs shown, left to right.
    QStringList visibleTabs() const;
    // The height of the tab row (whether or not it is shown now).
    int tabRowHeight() const;
};

} // namespace tw::ui
