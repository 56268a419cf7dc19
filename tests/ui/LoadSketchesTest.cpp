#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/LoadSketches.h"

using namespace tw::ui;

namespace {

using DrawFn = void (*)(QPainter&, const QRectF&);

QImage Render(DrawFn draw, QSize imageSize, const QRectF& rect)
{
    QImage image(imageSize, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw(painter, rect);
    painter.end();
    return image;
}

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y)))
                ++count;
    return count;
}

bool NotWhite(QRgb c)
{
    return c != qRgb(255, 255, 255) && qAlpha(c) != 0;
}

// A clearly blue pixel: the colour of the loads.
bool Blue(QRgb c)
{
    return qBlue(c) > 180 && qRed(c) < 120 && qBlue(c) - qGreen(c) > 60;
}

QRect InkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (NotWhite(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

class LoadSketchesTest : public QObject
{
    Q_OBJECT

private slots:
    void sketches_data()
    {
        QTest::addColumn<bool>("seismic");
        QTest::newRow("strip") << false;
        QTest::newRow("seismic") << true;
    }

    // Drawn at two sizes, each sketch fills a good part of its rectangle and shows its load.
    void sketches()
    {
        QFETCH(bool, seismic);
        const DrawFn draw = seismic ? &DrawSeismicSketch : &DrawStripLoadSketch;
        for (const QSize size : {QSize(640, 480), QSize(200, 150)}) {
            const QImage image = Render(draw, size, QRectF(QPointF(0, 0), size));
            const int area = size.width() * size.height();
            QVERIFY2(CountPixels(image, NotWhite) > area / 5, qPrintable(QString::number(area)));
            QVERIFY(CountPixels(image, Blue) > 20);
            // Uniform scaling: the drawing spans most of the rectangle in both directions.
            const QRect ink = InkBounds(image);
            QVERIFY(ink.width() > size.width() * 3 / 4);
            QVERIFY(ink.height() > size.height() * 3 / 4);
        }
    }

    void sketchStaysInsideItsRectangle_data() { sketches_data(); }
    void sketchStaysInsideItsRectangle()
    {
        QFETCH(bool, seismic);
        const DrawFn draw = seismic ? &DrawSeismicSketch : &DrawStripLoadSketch;
        const QRect target(120, 40, 300, 160);
        const QImage image = Render(draw, QSize(500, 300), target);
        const QRect ink = InkBounds(image);
        QVERIFY(!ink.isEmpty());
        QVERIFY2(target.contains(ink), qPrintable(QString("%1,%2 %3x%4")
                                                      .arg(ink.x())
                                                      .arg(ink.y())
                                                      .arg(ink.width())
                                                      .arg(ink.height())));
        // Wider than the sketch's proportions: it is centred horizontally.
        QVERIFY(std::abs(ink.center().x() - target.center().x()) < 20);
    }

    void painterIsLeftAsItWas()
    {
        QImage image(100, 80, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        const QPen pen(Qt::red, 3);
        painter.setPen(pen);
        painter.translate(5, 7);
        const QTransform transform = painter.transform();
        DrawStripLoadSketch(painter, QRectF(0, 0, 90, 70));
        DrawSeismicSketch(painter, QRectF(0, 0, 90, 70));
        QCOMPARE(painter.pen(), pen);
        QCOMPARE(painter.transform(), transform);
        QVERIFY(!painter.hasClipping());
    }

    void degenerateRectangles_data() { sketches_data(); }
    void degenerateRectangles()
    {
        QFETCH(bool, seismic);
        const DrawFn draw = seismic ? &DrawSeismicSketch : &DrawStripLoadSketch;
        // Tiny but real: something is drawn, and nothing outside.
        const QImage tiny = Render(draw, QSize(30, 30), QRectF(10, 10, 10, 10));
        QVERIFY(CountPixels(tiny, NotWhite) > 0);
        QVERIFY(QRect(10, 10, 10, 10).contains(InkBounds(tiny)));
        QVERIFY(CountPixels(Render(draw, QSize(3, 3), QRectF(1, 1, 1, 1)), NotWhite) <= 1);

        // Nothing to draw into: nothing drawn, no crash.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        for (const QRectF& rect : {QRectF(5, 5, 0, 0), QRectF(5, 5, 0, 20), QRectF(5, 5, -20, 20),
                                   QRectF(0, 0, nan, 10), QRectF(0, 0, inf, inf)}) {
            QCOMPARE(CountPixels(Render(draw, QSize(30, 30), rect), NotWhite), 0);
        }
    }

    void thumbnails()
    {
        const QPixmap strip = StripLoadThumbnail(160, 120);
        const QPixmap seismic = SeismicThumbnail(160, 120);
        QCOMPARE(strip.size(), QSize(160, 120));
        QCOMPARE(seismic.size(), QSize(160, 120));
        const QImage a = strip.toImage();
        const QImage b = seismic.toImage();
        QVERIFY(CountPixels(a, NotWhite) > 160 * 120 / 5);
        QVERIFY(CountPixels(b, NotWhite) > 160 * 120 / 5);
        QVERIFY(a != b);
        QVERIFY(StripLoadThumbnail(0, 120).isNull());
        QVERIFY(SeismicThumbnail(10, -1).isNull());
        QCOMPARE(SeismicThumbnail(10, 10).size(), QSize(10, 10));
    }

    void enlargedView_data() { sketches_data(); }
    void enlargedView()
    {
        QFETCH(bool, seismic);
        const std::unique_ptr<QDialog> dialog(CreateLoadSketchDialog(seismic, nullptr));
        QCOMPARE(dialog->windowTitle(), QString(seismic ? "Seismic Load" : "Strip Load"));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QCOMPARE(dialog->size(), QSize(600, 450));
        QVERIFY(dialog->minimumWidth() < dialog->maximumWidth());
        QVERIFY(dialog->minimumHeight() < dialog->maximumHeight());

        // The sketch follows the window's size.
        const QRect small = InkBounds(dialog->grab().toImage().copy(0, 0, 600, 380));
        dialog->resize(900, 700);
        QTest::qWait(10);
        const QRect large = InkBounds(dialog->grab().toImage().copy(0, 0, 900, 620));
        QVERIFY(large.width() > small.width() * 5 / 4);
        QVERIFY(large.height() > small.height() * 5 / 4);

        QPushButton* close = nullptr;
        for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text().remove('&') == "Close")
                close = button;
        QVERIFY(close != nullptr);
        close->click();
        QVERIFY(!dialog->isVisible());
    }

    void showLoadSketchRunsModally()
    {
        QString title;
        QTimer::singleShot(0, this, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                modal->close();
            }
        });
        QTimer::singleShot(5000, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        ShowLoadSketch(true, nullptr);
        QCOMPARE(title, QString("Seismic Load"));
    }
};

QTEST_MAIN(LoadSketchesTest)
#include "LoadSketchesTest.moc"
