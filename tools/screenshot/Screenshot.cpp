// Developer tool: shows the main window on the offscreen platform, does a few user actions and
// saves a picture of the window, so a change to the window can be looked at without a display.
//
//   tw_screenshot --out main.png [--project wall.btw] [--size 1600x950] [--expand Section]
//                 [--type Box=text] [--choose List=index] [--check Check=0|1] [--widget Section]
//                 [--dialog
//                 table|usersheet|graphs|graph1..graph6|nodes[=springs]|print|preview|updates|lightest|
//                 study[=Box:from:to:steps:plot]|reliability[=SAMPLES]|
//                 zoom[=section|plan|guardrail]]
//                 [--click passiveInfo|userSheet] [--focus Box]
//                 [--menu File|Edit|Tools|Help] [--screen]
//
// Section, Box, List and Check are the form's identifiers (GeneralData, ShoredHeight, Units,
// StripLoad, ...). Actions run in the order given; --widget grabs one section instead of the
// whole window.
#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QWidget>

#include <cstdio>
#include <map>
#include <string>

#include "engine/TWClasses.h"
#include "ui/CheckUpdates.h"
#include "ui/Computations.h"
#include "ui/Graphs.h"
#include "ui/ImgZoom.h"
#include "ui/LightestSection.h"
#include "ui/Reliability.h"
#include "ui/Study.h"
#include "ui/TWMain.h"
#include "ui/Tables.h"
#include "ui/UserDefinedSheet.h"

using namespace tw::form;

namespace {

template <class E> std::map<std::string, E> Names();

template <> std::map<std::string, Section> Names()
{
    std::map<std::string, Section> names;
#define X(id, caption) names[#id] = Section::id;
    TW_FORM_SECTIONS(X)
#undef X
    return names;
}
template <> std::map<std::string, Box> Names()
{
    std::map<std::string, Box> names;
#define X(id, ...) names[#id] = Box::id;
    TW_FORM_BOXES(X)
#undef X
    return names;
}
template <> std::map<std::string, List> Names()
{
    std::map<std::string, List> names;
#define X(id, ...) names[#id] = List::id;
    TW_FORM_LISTS(X)
#undef X
    return names;
}
template <> std::map<std::string, Check> Names()
{
    std::map<std::string, Check> names;
#define X(id, ...) names[#id] = Check::id;
    TW_FORM_CHECKS(X)
#undef X
    return names;
}

template <class E> E Find(const std::string& name)
{
    const auto names = Names<E>();
    const auto found = names.find(name);
    if (found == names.end()) {
        std::fprintf(stderr, "tw_screenshot: unknown name %s\n", name.c_str());
        std::exit(2);
    }
    return found->second;
}

void Settle()
{
    // Let the section animations and the deferred layouts finish.
    for (int i = 0; i < 20; ++i) {
        QTest::qWait(30);
        QApplication::processEvents();
    }
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tw::TTWData project;
    project.ExampleFolder = QCoreApplication::applicationDirPath().toStdString();
    TfrmTWMain window(project);
    window.runUpdateCheck = {}; // no network here
    window.showError = [](const QString& message) {
        std::fprintf(stderr, "error shown: %s\n", qPrintable(message));
    };
    window.NewProject();
    window.resize(TfrmTWMain::kDesignedWidth, TfrmTWMain::kDesignedHeight);
    window.show();
    Settle();

    QString out = "screenshot.png";
    QWidget* grabbed = &window;
    const QStringList args = QApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString option = args[i];
        if (option == "--screen") {
            // The whole screen (hints and tool tips are windows of their own); needs a real
            // display, e.g. QT_QPA_PLATFORM=xcb under xvfb-run.
            grabbed = nullptr;
            continue;
        }
        const QString argument = args.value(++i);
        const std::string value = argument.toStdString();
        const auto eq = value.find('=');
        const std::string name = value.substr(0, eq);
        const QString rest =
            eq == std::string::npos ? QString() : QString::fromStdString(value.substr(eq + 1));
        if (option == "--out") {
            out = argument;
        } else if (option == "--project") {
            window.OpenFile(argument);
        } else if (option == "--size") {
            const QStringList wh = argument.split('x');
            window.resize(wh.value(0).toInt(), wh.value(1).toInt());
        } else if (option == "--expand") {
            window.form().SetSectionExpanded(Find<Section>(name), true);
            window.Refresh();
        } else if (option == "--dialog") {
            // A window the main window opens, shown beside it and grabbed instead of it.
            QWidget* dialog = nullptr;
            if (name == "table")
                dialog = new tw::ui::TfrmTable(window.form().Project(), &window);
            else if (name == "usersheet")
                dialog = new tw::ui::TfrmUserDefinedSheet(&window);
            else if (name == "graphs")
                dialog = new tw::ui::TfrmGraphs(window.form(), tw::form::TGraphKind::All, &window);
            else if (name.rfind("graph", 0) == 0 && name.size() == 6)
                dialog = new tw::ui::TfrmGraphs(
                    window.form(), static_cast<tw::form::TGraphKind>(name[5] - '0'), &window);
            else if (name == "nodes") {
                // nodes=springs: the soil-spring analysis's nodes.
                auto* table = new tw::ui::TfrmComputations(window.form(), &window);
                if (rest == QLatin1String("springs"))
                    table->SetMethod(tw::form::TNodeMethod::SoilSprings);
                dialog = table;
            } else if (name == "preview") {
                static QPrinter printer(QPrinter::HighResolution);
                dialog = tw::ui::MakeReportPreview(&window, window.form(), printer);
            } else if (name == "study") {
                // study[=Box:from:to:steps:plot], plot the index of the result list.
                const QStringList study = rest.split(QLatin1Char(':'));
                auto* studyWindow = new tw::ui::TfrmStudy(window.form(), &window);
                studyWindow->SetInput(study.size() >= 4 ? Find<Box>(study[0].toStdString())
                                                        : tw::form::Box::ShoredHeight,
                                      study.size() >= 4 ? study[1].toDouble() : 10,
                                      study.size() >= 4 ? study[2].toDouble() : 30,
                                      study.size() >= 4 ? study[3].toInt() : 21);
                studyWindow->SetPlot(static_cast<tw::ui::TfrmStudy::TPlot>(
                    study.size() >= 5 ? study[4].toInt() : 2));
                dialog = studyWindow;
            } else if (name == "reliability") {
                // reliability[=SAMPLES]: a study run to its end (2000 samples by default).
                auto* reliability = new tw::ui::TfrmReliability(window.form(), &window);
                reliability->samplesBox()->setValue(rest.isEmpty() ? 2000 : rest.toInt());
                reliability->show();
                reliability->Run();
                if (!reliability->WaitForFinish(30 * 60 * 1000)) {
                    std::fprintf(stderr, "tw_screenshot: the reliability study did not finish\n");
                    return 1;
                }
                dialog = reliability;
            } else if (name == "zoom") {
                // zoom[=section|plan|guardrail]: the enlarged view of a drawing.
                const auto kind = rest == QLatin1String("plan")
                                      ? tw::drawing::TDiagramKind::dkPlanView
                                  : rest == QLatin1String("guardrail")
                                      ? tw::drawing::TDiagramKind::dkGuardrail
                                      : tw::drawing::TDiagramKind::dkCrossSection;
                dialog = new tw::ui::TfrmImgZoom(window.form(), kind, &window);
            } else if (name == "lightest") {
                dialog = new tw::ui::TfrmLightestSection(
                    tw::form::FindLightestSections(window.form().Project()), &window);
            } else if (name == "updates") {
                auto* updates = new tw::ui::TfrmCheckUpdates(
                    false, QStringLiteral("https://www.tarnwick.example/updates/tw/tw.html"), false,
                    &window);
                updates->ask = [](QMessageBox::Icon, const QString&, QMessageBox::StandardButtons) {
                    return QMessageBox::Ok;
                };
                dialog = updates;
            } else if (name == "print")
                dialog = new tw::ui::TfrmOutputOptions(QStringLiteral("/home/user/wall.pdf"),
                                                       QPageSize(QPageSize::Letter), &window);
            if (!dialog) {
                std::fprintf(stderr, "tw_screenshot: unknown dialog %s\n", name.c_str());
                return 2;
            }
            dialog->show();
            grabbed = dialog;
        } else if (option == "--click") {
            // One of the window's small buttons: passiveInfo, userSheet.
            QAbstractButton* button = nullptr;
            if (name == "passiveInfo")
                button = window.passiveInfoButton();
            else if (name == "userSheet")
                button = window.userSheetButton();
            if (!button) {
                std::fprintf(stderr, "tw_screenshot: unknown button %s\n", name.c_str());
                return 2;
            }
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (option == "--menu") {
            // A menu of the menu bar, opened and grabbed: File, Edit, Tools, Help.
            QMenu* menu = nullptr;
            for (QAction* action : window.menuBar()->actions())
                if (action->text().remove(QLatin1Char('&')) == QString::fromStdString(name))
                    menu = action->menu();
            if (!menu) {
                std::fprintf(stderr, "tw_screenshot: unknown menu %s\n", name.c_str());
                return 2;
            }
            window.RefreshUndoActions();
            menu->popup(window.mapToGlobal(QPoint(0, 0)));
            QApplication::processEvents();
            grabbed = menu;
        } else if (option == "--focus") {
            window.boxWidget(Find<Box>(name))->setFocus(Qt::TabFocusReason);
        } else if (option == "--widget") {
            grabbed = window.sectionWidget(Find<Section>(name));
        } else if (option == "--type") {
            QWidget* edit = window.boxWidget(Find<Box>(name));
            edit->setFocus(Qt::TabFocusReason);
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(edit, rest);
            QTest::keyClick(edit, Qt::Key_Tab);
        } else if (option == "--choose") {
            window.form().ChooseListItem(Find<List>(name), rest.toInt());
            window.Refresh();
        } else if (option == "--check") {
            window.form().SetChecked(Find<Check>(name), rest.toInt() != 0);
            window.Refresh();
        } else {
            std::fprintf(stderr, "tw_screenshot: unknown option %s\n", qPrintable(option));
            return 2;
        }
        Settle();
    }
    Settle();
    const QPixmap picture =
        grabbed ? grabbed->grab() : QGuiApplication::primaryScreen()->grabWindow(0);
    if (!picture.save(out)) {
        std::fprintf(stderr, "tw_screenshot: cannot write %s\n", qPrintable(out));
        return 1;
    }
    return 0;
}
