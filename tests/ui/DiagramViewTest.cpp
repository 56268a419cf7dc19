// The drawings in the main window: drawn when their page shows, again after a change, not while
// hidden; the enlarged view on a click; copying and saving the picture.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

#include "support/WindowActions.h"
#include "ui/ImgZoom.h"
#include "ui/TWMain.h"

using namespace tw::form;
using tw::ui::TDiagramView;

class DiagramViewTest : public QObject, public TWindowActions
{
    Q_OBJECT

    std::unique_ptr<tw::TTWData> project_;
    std::unique_ptr<TfrmTWMain> window_;
    QStringList errors_;

    TfrmTWMain& W() override { return *window_; }
    TDiagramView* View(TfrmTWMain::DrawingPage page) { return W().drawingPage(page); }

private slots:
    void init()
    {
        project_ = std::make_unique<tw::TTWData>();
        project_->ExampleFolder = TW_BINARY_DIR "/cli";
        window_ = std::make_unique<TfrmTWMain>(*project_);
        window_->runUpdateCheck = {}; // no network in tests
        W().showError = [this](const QString& message) { errors_ << message; };
        W().resize(1600, 950);
        W().show();
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        W().NewProject();
        QVERIFY(W().DrawingsColumnShown());
    }

    void cleanup()
    {
        window_.reset();
        project_.reset();
    }

    void theShownPageDrawsAndFollowsTheProject()
    {
        TDiagramView* section = View(TfrmTWMain::DrawingPage::CrossSection);
        TDiagramView* plan = View(TfrmTWMain::DrawingPage::PlanView);
        QTRY_VERIFY(!section->Picture().isNull());
        // At the view's size in the screen's pixels.
        const qreal ratio = section->devicePixelRatioF();
        QCOMPARE(section->Picture().size(),
                 QSize(qRound(section->width() * ratio), qRound(section->height() * ratio)));
        // A page not on view draws nothing until it is shown.
        QCOMPARE(plan->DrawCount(), 0);

        const int before = section->DrawCount();
        const QImage old = section->Picture();
        Type(Box::ShoredHeight, "20");
        Leave();
        QTRY_VERIFY(section->DrawCount() > before);
        QVERIFY(section->Picture() != old);

        // Another page: drawn when it comes into view.
        W().drawingTabs()->setCurrentWidget(plan);
        QTRY_VERIFY(plan->DrawCount() > 0);
    }

    void clickEnlargesTheDrawing()
    {
        TDiagramView* section = View(TfrmTWMain::DrawingPage::CrossSection);
        QTRY_VERIFY(!section->Picture().isNull());
        QString title;
        QSize picture;
        bool copied = false;
        QTimer::singleShot(0, [&] {
            auto* zoom = qobject_cast<tw::ui::TfrmImgZoom*>(QApplication::activeModalWidget());
            if (zoom == nullptr)
                return;
            title = zoom->windowTitle();
            picture = zoom->Picture().deviceIndependentSize().toSize();
            zoom->copyButton()->click();
            copied = QApplication::clipboard()->image().size() == zoom->Picture().size();
            zoom->reject();
        });
        QTimer::singleShot(5000, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        QTest::mouseClick(section, Qt::LeftButton);
        QCOMPARE(title, QString("Image"));
        // The desktop's work area less 20 pixels across and 100 down.
        const QRect area = W().screen()->availableGeometry();
        QCOMPARE(picture, QSize(area.width() - 20, area.height() - 100));
        QVERIFY(copied);
    }

    // A drawing made very small (a window of 900 x 160 once gave the cross section a zero font
    // size to divide by, and killed the program with its unsaved work) is blank or drawn, and
    // draws again when enlarged.
    void everyPageSurvivesASmallView()
    {
        QVERIFY(W().form().CheckState(Check::UseGuardrail).checked);
        for (const auto page :
             {TfrmTWMain::DrawingPage::CrossSection, TfrmTWMain::DrawingPage::PlanView,
              TfrmTWMain::DrawingPage::Guardrail}) {
            TDiagramView* view = View(page);
            W().drawingTabs()->setCurrentWidget(view);
            QTRY_VERIFY(!view->Picture().isNull());
            const QSize normal = view->size();
            for (const QSize small :
                 {QSize(900, 21), QSize(155, 74), QSize(1, 1), QSize(40, 600), QSize(300, 8)}) {
                const int before = view->DrawCount();
                view->resize(small);
                view->repaint();
                QCOMPARE(view->DrawCount(), before + 1);
                QVERIFY(view->Picture().isNull() ||
                        view->Picture().height() ==
                            qRound(small.height() * view->devicePixelRatioF()));
            }
            view->resize(normal);
            view->repaint();
            QVERIFY(!view->Picture().isNull());
        }
        W().resize(900, 160);
        QCoreApplication::processEvents();
        W().resize(1600, 950);
        QTRY_VERIFY(!View(TfrmTWMain::DrawingPage::CrossSection)->Picture().isNull());
    }

    void aFailedAnalysisShowsTheLastDrawingGreyed()
    {
        // The retained soil's hatching, and the text colour of the failure's message.
        auto count = [](const QImage& image, QRgb colour) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += (image.pixel(x, y) | 0xFF000000u) == colour ? 1 : 0;
            return n;
        };
        const QRgb hatch = qRgb(232, 203, 2);
        const QRgb message = qRgb(0x8A, 0x10, 0x10);
        auto greys = [](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c = image.pixel(x, y);
                    n += qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) && qRed(c) < 255 ? 1 : 0;
                }
            return n;
        };
        TDiagramView* section = View(TfrmTWMain::DrawingPage::CrossSection);
        QTRY_VERIFY(!section->Picture().isNull());
        QVERIFY(count(section->Picture(), hatch) > 0);
        QVERIFY(count(section->Picture(), message) == 0);
        // Timber lagging with a pier wider than the spacing cannot be analysed.
        Type(Box::PileWidth, "6");
        Leave();
        const int before = section->DrawCount();
        Type(Box::PileSpacing, "2");
        Leave();
        QVERIFY(W().form().AnalysisFailure().has_value());
        QTRY_VERIFY(section->DrawCount() > before);
        const QImage stale = section->Picture();
        QVERIFY(!stale.isNull());
        QCOMPARE(count(stale, hatch), 0);
        QVERIFY(count(stale, message) > 0);
        QVERIFY(greys(stale) > stale.width() * stale.height() / 100);
        // Mended: the drawing of the wall as it now is, in its colours.
        Type(Box::PileSpacing, "8");
        Leave();
        QTRY_VERIFY(count(section->Picture(), hatch) > 0);
        QCOMPARE(count(section->Picture(), message), 0);
    }

    void savePictureAsPng()
    {
        TDiagramView* section = View(TfrmTWMain::DrawingPage::CrossSection);
        QTRY_VERIFY(!section->Picture().isNull());
        QTemporaryDir dir;
        const QString path = dir.filePath("wall.png");
        QString error;
        QVERIFY(tw::ui::SavePicture(section->Picture(), path, &error));
        QImage saved(path);
        QCOMPARE(saved.size(), section->Picture().size());
        // A folder that cannot exist: a message, no file.
        QVERIFY(!tw::ui::SavePicture(section->Picture(), dir.filePath("missing/wall.png"), &error));
        QVERIFY(error.contains("Cannot save the picture"));
        QVERIFY(!QFile::exists(dir.filePath("missing/wall.png")));
        QCOMPARE(tw::ui::PictureFileName(tw::drawing::TDiagramKind::dkPlanView),
                 QString("Plan View.png"));
    }

    // The enlarged view saves the drawing as SVG, PDF and DXF, offering the drawing's name; not
    // while the analysis fails (its picture is then the last good one, greyed).
    void theEnlargedViewSavesVectorFiles()
    {
        errors_.clear();
        QTemporaryDir dir;
        QStringList offered;
        const auto zoomSaves = [&](QPushButton* (tw::ui::TfrmImgZoom::*button)() const) {
            tw::ui::TfrmImgZoom zoom(W().form(), tw::drawing::TDiagramKind::dkPlanView, &W());
            zoom.choosePictureFile = [&](const QString& name) {
                offered << name;
                return dir.filePath(name);
            };
            zoom.showError = [this](const QString& message) { errors_ << message; };
            if (!(zoom.*button)()->isEnabled())
                return false;
            (zoom.*button)()->click();
            return true;
        };
        QVERIFY(zoomSaves(&tw::ui::TfrmImgZoom::saveSvgButton));
        QVERIFY(zoomSaves(&tw::ui::TfrmImgZoom::savePdfButton));
        QVERIFY(zoomSaves(&tw::ui::TfrmImgZoom::saveDxfButton));
        QCOMPARE(offered, QStringList({"Plan View.svg", "Plan View.pdf", "Plan View.dxf"}));
        QFile svg(dir.filePath("Plan View.svg")), pdf(dir.filePath("Plan View.pdf")),
            dxf(dir.filePath("Plan View.dxf"));
        QVERIFY(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("<svg"));
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        QVERIFY(dxf.open(QIODevice::ReadOnly) && dxf.readAll().contains("$INSUNITS"));
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join('\n')));
        // Piles wider than their spacing leave the lagging no span: nothing to save as vectors.
        W().form().EditBox(Box::PileWidth, "6");
        W().form().EditBox(Box::PileSpacing, "2");
        W().form().Commit();
        QVERIFY(W().form().AnalysisFailure());
        QVERIFY(!zoomSaves(&tw::ui::TfrmImgZoom::saveSvgButton));
        QVERIFY(!zoomSaves(&tw::ui::TfrmImgZoom::saveDxfButton));
    }
};

QTEST_MAIN(DiagramViewTest)
#include "DiagramViewTest.moc"
