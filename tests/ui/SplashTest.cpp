// The splash window, the about box, the program's pictures and the page controls with their
// own tabs.
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTabBar>
#include <QTest>

#include <limits>

#include "engine/Globals.h"
#include "ui/About.h"
#include "ui/Artwork.h"
#include "ui/PageControl.h"
#include "ui/Splash.h"

using namespace tw::ui;

namespace {

int Colours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

QImage Picture(const QSize& size, const QRectF& rect)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawProductPicture(painter, rect);
    return image;
}

} // namespace

class SplashTest : public QObject
{
    Q_OBJECT

private slots:
    void splashWindow()
    {
        QPointer<TfrmSplash> splash = new TfrmSplash(60000);
        QCOMPARE(splash->size(), QSize(470, 344));
        const Qt::WindowFlags flags = splash->windowFlags();
        QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(splash->windowType(), Qt::SplashScreen);
        splash->ShowNow();
        QVERIFY(splash->isVisible());
        // Centred on the screen.
        const QPoint centre = QGuiApplication::primaryScreen()->geometry().center();
        QVERIFY((splash->geometry().center() - centre).manhattanLength() <= 2);
        // Painted with the product picture.
        const QImage shown = splash->grab().toImage();
        QVERIFY(Colours(shown) > 50);
        // A click closes and frees it.
        QTest::mouseClick(splash.data(), Qt::LeftButton);
        QTRY_VERIFY(splash.isNull());
    }

    void splashClosesItselfAfterTwoSeconds()
    {
        QPointer<TfrmSplash> splash = new TfrmSplash;
        splash->ShowNow();
        QTest::qWait(1500);
        QVERIFY(!splash.isNull() && splash->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2500);
    }

    void productPicture()
    {
        const QImage picture = Picture(QSize(470, 344), QRectF(0, 0, 470, 344));
        QVERIFY(Colours(picture) > 100);
        // The name band at the bottom carries the name in white.
        int white = 0;
        for (int y = 260; y < 330; ++y)
            for (int x = 20; x < 250; ++x)
                white += picture.pixel(x, y) == qRgb(255, 255, 255);
        QVERIFY(white > 500);
        // Fitted into any rectangle, kept within it.
        const QImage small = Picture(QSize(300, 300), QRectF(50, 100, 200, 100));
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                if (!QRectF(49, 99, 202, 102).contains(x, y))
                    QCOMPARE(small.pixel(x, y), qRgb(255, 255, 255));
        // Nothing to draw into: nothing drawn.
        const double nan = std::numeric_limits<double>::quiet_NaN();
        for (const QRectF& rect : {QRectF(0, 0, 0, 0), QRectF(0, 0, -10, 10), QRectF(0, 0, nan, 5)})
            QCOMPARE(Colours(Picture(QSize(20, 20), rect)), 1);
    }

    void programIcon()
    {
        for (int size : kIconSizes) {
            const QImage icon = ProgramIconImage(size);
            QCOMPARE(icon.size(), QSize(size, size));
            // A rounded tile: clear corners, a solid middle.
            QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        }
        QVERIFY(ProgramIconImage(0).isNull());
        QVERIFY(ProgramIconImage(-3).isNull());
        const QList<QSize> sizes = ProgramIcon().availableSizes();
        for (int size : kIconSizes)
            QVERIFY(sizes.contains(QSize(size, size)));
    }

    void aboutBox()
    {
        TfrmAbout about;
        QCOMPARE(about.windowTitle(), QString("About"));
        QCOMPARE(about.productLabel()->text(), QString("Brenmoor Tarnwick"));
        QCOMPARE(about.versionLabel()->text(),
                 "Version " + QString::fromStdString(tw::VersionString()));
        QVERIFY(about.versionLabel()->text().contains(
            QRegularExpression(R"(^Version \d+\.\d+\.\d+$)")));
        QCOMPARE(about.okButton()->text(), QString("OK"));
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        about.okButton()->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void pageControlDrawsItsTabs()
    {
        TPageControl pages;
        for (const char* caption : {"CROSS SECTION", "PLAN VIEW", "GUARDRAIL"})
            pages.addTab(new QWidget, QString::fromLatin1(caption));
        pages.resize(600, 300);
        pages.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pages));
        QCOMPARE(pages.visibleTabs(), QStringList({"CROSS SECTION", "PLAN VIEW", "GUARDRAIL"}));
        pages.setTabVisible(2, false);
        QCOMPARE(pages.visibleTabs(), QStringList({"CROSS SECTION", "PLAN VIEW"}));
        QCOMPARE(pages.tabRowHeight(), pages.tabBar()->height());
        // The bold caption fits its tab.
        QFont bold = pages.tabBar()->font();
        bold.setBold(true);
        const int text = QFontMetrics(bold).horizontalAdvance("CROSS SECTION");
        QVERIFY(pages.tabBar()->tabRect(0).width() > text);
        // The active tab is white, the others shaded.
        const QImage bar = pages.tabBar()->grab().toImage();
        const QRect active = pages.tabBar()->tabRect(0);
        const QRect other = pages.tabBar()->tabRect(1);
        QCOMPARE(bar.pixel(active.left() + 3, active.bottom() - 2), qRgb(255, 255, 255));
        QVERIFY(bar.pixel(other.left() + 3, other.bottom() - 3) != qRgb(255, 255, 255));
        pages.setCurrentIndex(1);
        const QImage after = pages.tabBar()->grab().toImage();
        QCOMPARE(after.pixel(other.left() + 3, other.bottom() - 2), qRgb(255, 255, 255));
    }
};

QTEST_MAIN(SplashTest)
#include "SplashTest.moc"
