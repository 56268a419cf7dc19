// The splash window shown while the program starts: borderless, on top of other windows,
// centred on the screen, 470 x 344 pixels, with the product picture. It closes and frees
// itself after two seconds or when it is clicked.
#pragma once

#include <QWidget>

namespace tw::ui {

class TfrmSplash : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 470;
    static constexpr int kHeight = 344;
    static constexpr int kLifetimeMs = 2000;

    explicit TfrmSplash(int lifetimeMs = kLifetimeMs);

    // Shows the window centred on the primary screen and paints it at once, before the
    // program goes on with its start-up.
    void ShowNow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tw::ui
