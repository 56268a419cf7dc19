// The graph window and the node table: which graphs show and at what size, the marks of the
// slope graph in both views, the interaction diagram's series, the readout found at the plotted
// points of the pictures, the links of the main window, the table's rows, copy and CSV, and
// the soil springs' curve and table beside the design's.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "charts/GraphChart.h"
#include "engine/SoilSprings.h"
#include "support/WindowActions.h"
#include "ui/Computations.h"
#include "ui/Graphs.h"
#include "ui/TWMain.h"

using namespace tw::form;
using tw::ui::TfrmComputations;
using tw::ui::TfrmGraphs;

namespace {

// Pixels of a colour (within a small tolerance for smoothing) in a picture.
int Count(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                             std::abs(c.blue() - colour.blue()) <
                         30
                     ? 1
                     : 0;
        }
    return n;
}

} // namespace

class GraphsTest : public QObject, public TWindowActions
{
    Q_OBJECT

    std::unique_ptr<tw::TTWData> project_;
    std::unique_ptr<TfrmTWMain> window_;
    QTemporaryDir settingsDir_;

    TfrmTWMain& W() override { return *window_; }

private slots:
    void initTestCase()
    {
        // The graphs remember their settings: in a folder of the test's own.
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
    }

    void init()
    {
        project_ = std::make_unique<tw::TTWData>();
        project_->ExampleFolder = TW_BINARY_DIR "/cli";
        window_ = std::make_unique<TfrmTWMain>(*project_);
        window_->runUpdateCheck = {}; // no network in tests
        W().showError = [](const QString&) {};
        W().resize(1600, 950);
        W().show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        W().NewProject();
    }

    void cleanup()
    {
        window_.reset();
        project_.reset();
    }

    void allGraphsAndOneAtTwiceTheSize()
    {
        TfrmGraphs all(W().form(), TGraphKind::All, &W());
        // An I-beam: five graphs, the sixth cell empty.
        for (int k = 1; k <= 5; ++k) {
            QLabel* image = all.image(static_cast<TGraphKind>(k));
            QVERIFY(image != nullptr);
            QCOMPARE(image->size(), QSize(TfrmGraphs::kCellWidth, TfrmGraphs::kCellHeight));
        }
        QVERIFY(all.image(TGraphKind::Interaction) == nullptr);
        TfrmGraphs one(W().form(), TGraphKind::Moment, &W());
        QCOMPARE(one.image(TGraphKind::Moment)->size(),
                 QSize(2 * TfrmGraphs::kCellWidth, 2 * TfrmGraphs::kCellHeight));
        QVERIFY(one.image(TGraphKind::Shear) == nullptr);
        QCOMPARE(one.windowTitle(), QString("Graphs"));
    }

    void slopeMarkFollowsTheGraphBuiltBefore()
    {
        // The largest-value mark (a red line) on the slope graph among all graphs, none alone.
        TfrmGraphs all(W().form(), TGraphKind::All, &W());
        TfrmGraphs alone(W().form(), TGraphKind::Slope, &W());
        QVERIFY(Count(all.picture(TGraphKind::Slope), Qt::red) > 0);
        QCOMPARE(Count(alone.picture(TGraphKind::Slope), Qt::red), 0);
    }

    void readoutAtThePlottedPoints()
    {
        TfrmGraphs one(W().form(), TGraphKind::Moment, &W());
        one.show();
        QVERIFY(QTest::qWaitForWindowExposed(&one));
        // Node 40 of the moment curve: find its mark on the picture, then ask there.
        const tw::TPileNode& node = project_->Nodes[40];
        const QString expected = QString::fromStdString(
            ReadoutText(TGraphKind::Moment, static_cast<double>(node.CutMoment),
                        static_cast<double>(node.Depth), false, W().form().NumberFormat()));
        QLabel* image = one.image(TGraphKind::Moment);
        const QImage picture = image->pixmap().toImage();
        const qreal r = picture.devicePixelRatio();
        bool found = false;
        // Only where the curve's colour is drawn: the readout must find the point there.
        for (int y = 0; y < image->height() && !found; ++y)
            for (int x = 0; x < image->width() && !found; ++x) {
                const QColor c = picture.pixelColor(qRound(x * r), qRound(y * r));
                if (c != QColor(255, 0, 255) ||
                    one.ReadoutAt(TGraphKind::Moment, QPoint(x, y)) != expected)
                    continue;
                found = true;
                // The status bar shows it when the mouse is there.
                QMouseEvent move(QEvent::MouseMove, QPointF(x, y),
                                 image->mapToGlobal(QPointF(x, y)), Qt::NoButton, Qt::NoButton,
                                 Qt::NoModifier);
                QApplication::sendEvent(image, &move);
                QCOMPARE(one.statusBar()->currentMessage(), expected);
            }
        QVERIFY(found);
        // Far from any point: nothing.
        QCOMPARE(one.ReadoutAt(TGraphKind::Moment, QPoint(2, 2)), QString());
    }

    void copiedAndSavedAtTheReportsResolution()
    {
        // "Copy" and "Save As PNG..." give the picture the report prints, not the small one on
        // the screen.
        TfrmGraphs all(W().form(), TGraphKind::All, &W());
        all.show();
        QVERIFY(QTest::qWaitForWindowExposed(&all));
        const QImage printed = tw::charts::GraphPrintPictures(*project_, W().form().NumberFormat(),
                                                              tw::charts::kReportDetail)[2];
        QLabel* moment = all.image(TGraphKind::Moment);
        QApplication::clipboard()->clear();
        ChooseFromPictureMenu(moment, QStringLiteral("&Copy"));
        QCOMPARE(QApplication::clipboard()->image().size(), printed.size());
        QTemporaryDir dir;
        all.choosePictureFile = [&](const QString& offered) { return dir.filePath(offered); };
        ChooseFromPictureMenu(moment, QStringLiteral("Save As &PNG..."));
        QCOMPARE(QImage(dir.filePath(QStringLiteral("Moment.png"))).size(), printed.size());
    }

    void interactionDiagramOfARebarCage()
    {
        Choose(List::PileType, 1);
        Choose(List::Reinforcement, 2);
        TfrmGraphs all(W().form(), TGraphKind::All, &W());
        QVERIFY(all.image(TGraphKind::Interaction) != nullptr);
        const QImage diagram = all.picture(TGraphKind::Interaction);
        QVERIFY(Count(diagram, QColor(0, 0, 128)) > 0);  // the diagram, navy
        QVERIFY(Count(diagram, QColor(0, 255, 64)) > 0); // the tension line
        QVERIFY(Count(diagram, Qt::red) > 0);            // the cap and the design point
    }

    void printPicturesAndStayingOnScreen()
    {
        // For the report: white, 600 x 900, one a graph (five for an I-beam).
        const std::vector<QImage> pictures = tw::charts::GraphPrintPictures(*project_);
        QCOMPARE(pictures.size(), std::size_t{5});
        for (const QImage& picture : pictures) {
            QCOMPARE(picture.size(), QSize(600, 900));
            QCOMPARE(picture.pixelColor(1, 1), QColor(Qt::white));
        }
        // A window that would open past the screen's right and bottom edges is moved back.
        const QRect area = W().screen()->availableGeometry();
        W().move(area.right() - 100, area.bottom() - 100);
        TfrmGraphs graphs(W().form(), TGraphKind::All, &W());
        graphs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graphs));
        QTRY_VERIFY(area.contains(graphs.frameGeometry()) ||
                    graphs.frameGeometry().width() > area.width());
        QVERIFY(graphs.frameGeometry().left() >= area.left());
        QVERIFY(graphs.frameGeometry().top() >= area.top());
    }

    void linksOpenTheGraphsAndTheTable()
    {
        QVERIFY(W().viewAllGraphsLink() != nullptr);
        QStringList items;
        for (QAction* action : W().graphMenu()->actions())
            items << action->text();
        QCOMPARE(items, QStringList({"&Loading", "&Shear", "&Moment", "Sl&ope", "&Deflection"}));
        QString title;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                modal->close();
            }
        });
        W().viewPlotAnalysisLink()->click();
        QCOMPARE(title, QString("Table of Test Results"));
    }

    void nodeTableRowsCopyAndCsv()
    {
        TfrmComputations table(W().form(), &W());
        QCOMPARE(table.table()->rowCount(), 64);
        QCOMPARE(table.table()->horizontalHeaderItem(6)->text(), QString("Defl, inch"));
        QCOMPARE(table.table()->item(63, 1)->text(), QString("63"));
        // The whole table fits across: no scrolling sideways.
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));
        QVERIFY(!table.table()->horizontalScrollBar()->isVisible());
        // Copied as tab-separated text with its header.
        QTest::keyClick(table.table(), Qt::Key_C, Qt::ControlModifier);
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied.count('\n'), 65);
        QVERIFY(copied.startsWith("Node #\tDepth, ft\t"));
        QTemporaryDir dir;
        QString error;
        QVERIFY(table.SaveCsv(dir.filePath("nodes.csv"), &error));
        QFile csv(dir.filePath("nodes.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().count('\n'), 65);
        QVERIFY(!table.SaveCsv(dir.filePath("no/such/folder.csv"), &error));
        QVERIFY(error.contains("Cannot save the table"));
    }

    void nodeTableColumnsShowTheirCaptionsWhole()
    {
        // Each column as wide as its caption needs in the font the window gets (SI's
        // "Moment, kN-m" was cut).
        Choose(List::Units, 1);
        TfrmComputations table(W().form(), &W());
        const QHeaderView* header = table.table()->horizontalHeader();
        for (int c = 1; c < table.table()->columnCount(); ++c)
            QVERIFY2(header->sectionSize(c) >= header->sectionSizeHint(c),
                     qPrintable(table.table()->horizontalHeaderItem(c)->text()));
    }

    void soilSpringCurveSwitchedAndRemembered()
    {
        // On at first: the green curve on the deflection graph; switched off it goes, and the
        // next window opens without it. A graph that cannot show it offers no switch.
        const QColor green(0, 150, 0);
        {
            TfrmGraphs all(W().form(), TGraphKind::All, &W());
            QVERIFY(all.soilSpringsBox()->isChecked() && !all.soilSpringsBox()->isHidden());
            QVERIFY(Count(all.picture(TGraphKind::Deflection), green) > 0);
            all.soilSpringsBox()->click();
            QCOMPARE(Count(all.picture(TGraphKind::Deflection), green), 0);
        }
        TfrmGraphs next(W().form(), TGraphKind::Moment, &W());
        QVERIFY(!next.soilSpringsBox()->isChecked());
        QVERIFY(next.plot(TGraphKind::Moment)->series[kSoilSpringSeries].points.empty());
        next.soilSpringsBox()->click();
        QVERIFY(!next.plot(TGraphKind::Moment)->series[kSoilSpringSeries].points.empty());
        TfrmGraphs loading(W().form(), TGraphKind::Loading, &W());
        QVERIFY(loading.soilSpringsBox()->isHidden());
    }

    void nodeTableOfTheSoilSprings()
    {
        TfrmComputations table(W().form(), &W());
        table.methodButton(TNodeMethod::SoilSprings)->click();
        QCOMPARE(static_cast<std::size_t>(table.table()->rowCount()),
                 tw::ComputeSoilSpringAnalysis(*project_).Nodes.size());
        QCOMPARE(table.table()->horizontalHeaderItem(2)->text(), QString("Load, k/ft"));
        QVERIFY(table.note()->isHidden());
        table.methodButton(TNodeMethod::Design)->click();
        QCOMPARE(table.table()->rowCount(), 64);
        // Pressures typed by the user: the reason in the table's place, nothing to copy.
        Choose(List::AnalysisMethod, 2);
        TfrmComputations typed(W().form(), &W());
        typed.SetMethod(TNodeMethod::SoilSprings);
        QCOMPARE(typed.note()->text(), QString("Soil springs: pressures typed by the user"));
        QVERIFY(typed.table()->isHidden() && !typed.copyButton()->isEnabled());
    }

private:
    // Opens the picture menu of a graph (a right click) and chooses an item of it.
    static void ChooseFromPictureMenu(QLabel* image, const QString& item)
    {
        QTimer::singleShot(50, [item] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr)
                return;
            for (QAction* action : menu->actions())
                if (action->text() == item)
                    menu->setActiveAction(action);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                                image->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(image, &click);
    }

    void Choose(List list, int index)
    {
        W().form().ChooseListItem(list, index);
        W().Refresh();
    }
};

QTEST_MAIN(GraphsTest)
#include "GraphsTest.moc"
