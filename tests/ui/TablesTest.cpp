#include <algorithm>
#include <cmath>
#include <limits>

#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "ui/Tables.h"

using tw::TInteractionPoint;
using tw::TTWData;
using tw::TUnitSystem;
using tw::ui::TfrmTable;

namespace {

// A point whose every field has its own value, so a field shown in the wrong row is noticed:
// field k (1-based, record order) holds 10 k + 0.123456.
TInteractionPoint NumberedPoint()
{
    TInteractionPoint p;
    p.c = 10.123456L;
    p.eps1 = 20.123456L;
    p.fs1 = 30.123456L;
    p.eps2 = 40.123456L;
    p.fs2 = 50.123456L;
    p.eps3 = 60.123456L;
    p.fs3 = 70.123456L;
    p.theta = 80.123456L;
    p.a = 90.123456L;
    p.Ac = 100.123456L;
    p.Fc = 110.123456L;
    p.yc = 120.123456L;
    p.Ft = -130.56789L;
    p.yt = 140.123456L;
    p.phi = 150.123456L;
    p.phiPn = 160.123456L;
    p.phiMn = 170.123456L;
    return p;
}

QStringList RowCaptions(const QTreeWidget* list)
{
    QStringList captions;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        captions << list->topLevelItem(row)->text(0);
    return captions;
}

QStringList Column(const QTreeWidget* list, int column)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts << list->topLevelItem(row)->text(column);
    return texts;
}

} // namespace

class TablesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void windowAndColumns()
    {
        TTWData project;
        TfrmTable table(project);
        QCOMPARE(table.windowTitle(), QString("Table of Test Results"));
        QVERIFY(table.isModal());

        const QTreeWidget* list = table.list();
        QCOMPARE(list->columnCount(), 10);
        QCOMPARE(list->topLevelItemCount(), 17);
        QCOMPARE(list->columnWidth(0) >= 80, true);

        const QTreeWidgetItem* header = list->headerItem();
        const QStringList expected{"", "no axial", "", "", "balanced",
                                   "", "",         "", "", "above Pmax"};
        for (int column = 0; column < 10; ++column)
            QCOMPARE(header->text(column), expected[column]);
        // The point columns are centred, header and values alike.
        for (int column = 1; column < 10; ++column) {
            QCOMPARE(Qt::Alignment(header->textAlignment(column)) & Qt::AlignHCenter,
                     Qt::AlignHCenter);
            QCOMPARE(Qt::Alignment(list->topLevelItem(5)->textAlignment(column)) & Qt::AlignHCenter,
                     Qt::AlignHCenter);
        }
    }

    void rowCaptionsFollowTheUnitSystem()
    {
        TTWData project;
        project.Units = TUnitSystem::usEnglish;
        TfrmTable english(project);
        QCOMPARE(RowCaptions(english.list()),
                 QStringList({"c, in", "Eps1", "Fs1, ksi", "Eps2", "Fs2, ksi", "Eps3", "Fs3, ksi",
                              "Theta, rad", "a, in", "Ac, in^2", "Fc, kip", "yc, in", "Ft, kip",
                              "yt, in", "Phi", "PhiPn, kip", "PhiMn, k-ft"}));

        project.Units = TUnitSystem::usSI;
        TfrmTable si(project);
        QCOMPARE(RowCaptions(si.list()),
                 QStringList({"c, mm", "Eps1", "Fs1, MPa", "Eps2", "Fs2, MPa", "Eps3", "Fs3, MPa",
                              "Theta, rad", "a, mm", "Ac, mm^2", "Fc, KN", "yc, mm", "Ft, KN",
                              "yt, mm", "Phi", "PhiPn, KN", "PhiMn, KN.m"}));
    }

    void eachRowShowsItsFieldWithItsDecimals()
    {
        TTWData project;
        project.InteractionPoints.fill(TInteractionPoint{});
        project.InteractionPoints[4] = NumberedPoint();
        TfrmTable table(project);
        // Point 4 is the fifth value column.
        QCOMPARE(Column(table.list(), 5),
                 QStringList({"10.12", "20.123", "30.1", "40.123", "50.1", "60.123", "70.1",
                              "80.12", "90.1", "100.1", "110", "120.1", "-131", "140.1", "150.12",
                              "160", "170"}));
        // The other points are untouched zeros, written with the same decimals.
        QCOMPARE(table.list()->topLevelItem(1)->text(1), QString("0.000"));
        QCOMPARE(table.list()->topLevelItem(16)->text(9), QString("0"));
    }

    void undefinedValuesShowNA()
    {
        TTWData project;
        project.InteractionPoints.fill(NumberedPoint());
        TInteractionPoint& p0 = project.InteractionPoints[0];
        const long double nan = std::numeric_limits<long double>::quiet_NaN();
        p0.c = p0.eps1 = p0.fs1 = p0.eps2 = p0.fs2 = p0.eps3 = p0.fs3 = nan;
        p0.theta = p0.a = p0.Ac = p0.Fc = p0.yc = p0.Ft = p0.yt = p0.phi = p0.phiPn = p0.phiMn =
            nan;
        p0.Defined = false;
        // A point marked undefined shows N.A. even where a stale number is left in it.
        project.InteractionPoints[8].Defined = false;
        // A single NaN in a defined point shows N.A. in its row only.
        project.InteractionPoints[3].yt = nan;

        TfrmTable table(project);
        for (const QString& text : Column(table.list(), 1))
            QCOMPARE(text, QString("N.A."));
        for (const QString& text : Column(table.list(), 9))
            QCOMPARE(text, QString("N.A."));
        QCOMPARE(table.list()->topLevelItem(13)->text(4), QString("N.A."));
        QCOMPARE(table.list()->topLevelItem(12)->text(4), QString("-131"));
        QCOMPARE(table.list()->topLevelItem(0)->text(2), QString("10.12"));
    }

    void usesTheLocaleDecimalSeparator()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        TTWData project;
        project.InteractionPoints.fill(NumberedPoint());
        TfrmTable table(project);
        QCOMPARE(table.list()->topLevelItem(0)->text(1), QString("10,12"));
        QCOMPARE(table.list()->topLevelItem(1)->text(1), QString("20,123"));
        QCOMPARE(table.list()->topLevelItem(10)->text(1), QString("110"));
    }

    // Every column is wide enough for its texts; the table shows whole without scroll bars
    // when the screen has room for it, and can be scrolled when it has not.
    void everyValueIsReadable_data()
    {
        QTest::addColumn<bool>("si");
        QTest::addColumn<double>("wideValue");
        QTest::newRow("English") << false << -12345.678;
        QTest::newRow("SI, very large values") << true << -98765432.1;
    }
    void everyValueIsReadable()
    {
        QFETCH(bool, si);
        QFETCH(double, wideValue);
        TTWData project;
        project.Units = si ? TUnitSystem::usSI : TUnitSystem::usEnglish;
        TInteractionPoint wide = NumberedPoint();
        wide.Ac = wide.phiMn = wide.Fc = wideValue;
        project.InteractionPoints.fill(wide);
        TfrmTable table(project);
        table.show();
        QVERIFY(QTest::qWaitForWindowExposed(&table));

        const QTreeWidget* list = table.list();
        const QFontMetrics metrics(list->font());
        for (int column = 0; column < list->columnCount(); ++column) {
            int widest = metrics.horizontalAdvance(list->headerItem()->text(column));
            for (int row = 0; row < list->topLevelItemCount(); ++row)
                widest = std::max(widest,
                                  metrics.horizontalAdvance(list->topLevelItem(row)->text(column)));
            QVERIFY2(list->columnWidth(column) > widest, qPrintable(QString::number(column)));
        }

        const QSize screen = table.screen()->availableSize();
        QVERIFY(table.width() <= screen.width());
        QVERIFY(table.height() <= screen.height());
        const bool fits = list->header()->length() <= list->viewport()->width();
        if (fits) {
            QVERIFY(!list->horizontalScrollBar()->isVisible());
            const QRect last = list->visualItemRect(list->topLevelItem(16));
            QVERIFY(last.isValid());
            QVERIFY(last.bottom() < list->viewport()->height());
        } else {
            QVERIFY(list->horizontalScrollBar()->isVisible());
            QVERIFY(list->horizontalScrollBar()->maximum() > 0);
        }
        // The English table of ordinary values fits any screen of 800 pixels and more.
        if (!si)
            QVERIFY(fits);
    }

    void showTableRunsModally()
    {
        TTWData project;
        project.Units = TUnitSystem::usSI;
        QString title;
        QString firstCaption;
        QTimer::singleShot(0, this, [&] {
            auto* table = qobject_cast<TfrmTable*>(QApplication::activeModalWidget());
            if (table == nullptr)
                return;
            title = table->windowTitle();
            firstCaption = table->list()->topLevelItem(0)->text(0);
            table->findChild<QPushButton*>()->click();
        });
        QTimer::singleShot(5000, this, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        TfrmTable::ShowTable(project, nullptr);
        QCOMPARE(title, QString("Table of Test Results"));
        QCOMPARE(firstCaption, QString("c, mm"));
    }
};

QTEST_MAIN(TablesTest)
#include "TablesTest.moc"
