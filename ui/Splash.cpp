#include "ui/Splash.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>

#include "ui/Artwork.h"

namespace tw::ui {

TfrmSplash::TfrmSplash(int lifetimeMs)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the main window ends the program even while the splash is still up.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::PointingHandCursor);
    // The timer belongs to the window: a window closed by a click takes it along.
    QTimer::singleShot(std::max(lifetimeMs, 0), this, &QWidget::close);
}

void TfrmSplash::ShowNow()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    show();
    raise();
    repaint();
    QCoreApplication::processEvents();
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    DrawProductPicture(painter, QRectF(rect()));
}

void TfrmSplash::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    close();
}

} // namespace tw::ui
