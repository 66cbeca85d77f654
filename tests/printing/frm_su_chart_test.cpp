// The summary chart window: the totals gathered, the series and months shown, the boxes kept.

#include "common/test_support.h"
#include "document/records.h"
#include "pictures_fixture.h"
#include "platform/ui_units.h"
#include "printing/frm_su_chart.h"
#include "printing/printing.h"
#include "shell/main_module.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QTemporaryDir>
#include <QValueAxis>
#include <cmath>

namespace {

using Chart = FrmSUChartForm;

void addItem(int16_t month, int16_t cell, int16_t kind, const char* amount) {
    EVItem item;
    item.Kind = kind;
    item.Text = QStringLiteral("Poste      ") + QLatin1String(amount);
    DayCell& c = CurDoc.Months(month).Cells(cell);
    c.Items.push_back(item);
    c.Count = int16_t(c.Items.size());
}

// The values of series c (1-based) of the chart, row by row.
std::vector<double> column(ChartControl& chart, int c) {
    std::vector<double> v;
    for (int r = 1; r <= chart.RowCount(); ++r)
        v.push_back(chart.Value(r, c));
    return v;
}

// The chart that the chart module drew, brought up to date; null without the module.
QChart* drawnChart(ChartControl& chart) {
    auto* view = qobject_cast<QChartView*>(chart.chartView());
    return view ? view->chart() : nullptr;
}

QStringList rowLabels(ChartControl& chart) {
    QStringList labels;
    for (int r = 1; r <= chart.RowCount(); ++r) {
        chart.setRow(r);
        labels << chart.RowLabel();
    }
    return labels;
}

} // namespace

class ChartTest : public PicturesTest {
protected:
    void SetUp() override {
        PicturesTest::SetUp();
        CurDoc.Year = QStringLiteral("2004");
        // January: 1500 in, 200 out; March: 100 in, 350.5 out (a negative grand total);
        // June and July apart.
        addItem(1, 10, ItemKind::Income, "1500");
        addItem(1, 11, ItemKind::Expense, "200");
        addItem(3, 12, ItemKind::Income, "100");
        addItem(3, 12, ItemKind::Expense, "350.5");
        addItem(6, 20, ItemKind::Income, "600");
        addItem(7, 20, ItemKind::Income, "700");
    }
    // Opens the window, lets the user act once the totals are in, then closes it.
    void inChart(std::function<void(Chart&)> act, bool gather = true) {
        services.forms->modalScripts.push_back([act, gather](rt::Form& form) {
            auto& w = dynamic_cast<Chart&>(form);
            if (gather) {
                EXPECT_TRUE(ui_test::waitFor([&] { return w.ChartSU.Visible(); }, 3000));
            }
            act(w);
            w.CmdOk.raiseEvent(rt::Event::Click);
        });
        RunSummaryChart();
    }
};

TEST_F(ChartTest, GathersTheTotalsAndDrawsThreeSeriesOverTwelveMonths) {
    std::vector<int> progress;
    services.ui->onDoEvents = [&](bool) {
        if (FrmSUChart.exists()) {
            const int v = int(FrmSUChart.peek()->PBarLoad.Value());
            if (progress.empty() || progress.back() != v) progress.push_back(v);
        }
    };
    inChart([&](Chart& w) {
        EXPECT_EQ(w.Caption(), QStringLiteral("Mirovanta - Tableau Sommaire"));
        EXPECT_FALSE(w.PicLoadData.Visible());
        EXPECT_FALSE(services.ui->hourglass());
        EXPECT_TRUE(w.PicChartSel.Visible());
        EXPECT_EQ(w.ChartSU.Height(), 4575);
        ChartControl& chart = w.ChartSU;
        ASSERT_EQ(chart.ColumnCount(), 3);
        ASSERT_EQ(chart.RowCount(), 12);
        const QString series[] = {QStringLiteral("Revenus"), QStringLiteral("Dépenses"),
                                  QStringLiteral("Grand total:")};
        const rt::OleColor colours[] = {rt::RGB(0, 0, 255), rt::RGB(255, 0, 0), rt::RGB(0, 255, 0)};
        for (int c = 1; c <= 3; ++c) {
            chart.setColumn(c);
            EXPECT_EQ(chart.ColumnLabel(), series[c - 1]);
            EXPECT_EQ(chart.SeriesColor(c), colours[c - 1]);
        }
        // Month labels are cut by characters; June and July share theirs.
        EXPECT_EQ(rowLabels(chart).join(u','),
                  QStringLiteral("Jan,Fév,Mar,Avr,Mai,Jui,Jui,Aoû,Sep,Oct,Nov,Déc"));
        EXPECT_EQ(column(chart, 1),
                  (std::vector<double>{1500, 0, 100, 0, 0, 600, 700, 0, 0, 0, 0, 0}));
        EXPECT_EQ(column(chart, 2), (std::vector<double>{200, 0, 350, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(column(chart, 3),
                  (std::vector<double>{1300, 0, -250, 0, 0, 600, 700, 0, 0, 0, 0, 0}));

        // What is drawn: three lines of twelve points, twelve labels along the X axis.
        QChart* drawn = drawnChart(chart);
        ASSERT_NE(drawn, nullptr);
        ASSERT_EQ(drawn->series().size(), 3);
        for (QAbstractSeries* s : drawn->series())
            EXPECT_EQ(static_cast<QLineSeries*>(s)->count(), 12);
        EXPECT_EQ(static_cast<QLineSeries*>(drawn->series()[0])->pen().color(), QColor(0, 0, 255));
        auto* x = qobject_cast<QCategoryAxis*>(drawn->axes(Qt::Horizontal).value(0));
        ASSERT_NE(x, nullptr);
        EXPECT_EQ(x->count(), 12);
        // Nothing else is written: the month labels, the legend and the values of the Y axis's
        // steps, each once, and no text cut down to "...".
        auto* y = qobject_cast<QValueAxis*>(drawn->axes(Qt::Vertical).value(0));
        ASSERT_NE(y, nullptr);
        QCoreApplication::processEvents();
        QStringList texts;
        for (QGraphicsItem* item : static_cast<QChartView*>(chart.chartView())->scene()->items())
            if (auto* t = dynamic_cast<QGraphicsTextItem*>(item); t && t->isVisible())
                if (!t->toPlainText().isEmpty()) texts << t->toPlainText().trimmed();
        const int steps = int(std::lround((y->max() - y->min()) / y->tickInterval())) + 1;
        EXPECT_EQ(texts.size(), 12 + 3 + steps) << texts.join(u'|').toStdString();
        EXPECT_FALSE(texts.contains(QStringLiteral("..."))) << texts.join(u'|').toStdString();
        w.window()->grab().save(testing_support::scratchFolder() +
                                QStringLiteral("/mirovanta-chart.png"));
    });
    EXPECT_EQ(progress, (std::vector<int>{0, 8, 16, 25, 33, 41, 50, 58, 66, 75, 83, 91, 100}));
    EXPECT_FALSE(FrmSUChart.exists());
}

TEST_F(ChartTest, AtLeastTwoMonthsStayAndSeriesComeBackLast) {
    inChart([&](Chart& w) {
        for (int i = 3; i <= 11; ++i)
            w.ChkMonth(i).userClicked();
        EXPECT_EQ(w.ChartSU.RowCount(), 3);
        w.ChkMonth(1).userClicked(); // three ticked: one goes
        EXPECT_EQ(rowLabels(w.ChartSU).join(u','), QStringLiteral("Jan,Mar"));
        w.ChkMonth(0).userClicked(); // two ticked: it stays
        EXPECT_EQ(w.ChkMonth(0).Value(), 1);
        EXPECT_EQ(rowLabels(w.ChartSU).join(u','), QStringLiteral("Jan,Mar"));

        w.ChkSeries(2).userClicked();
        ASSERT_EQ(w.ChartSU.ColumnCount(), 2);
        EXPECT_EQ(w.ChartSU.SeriesColor(2), rt::RGB(255, 0, 0));
        w.ChkSeries(0).userClicked();
        w.ChkSeries(2).userClicked();
        ASSERT_EQ(w.ChartSU.ColumnCount(), 2);
        w.ChartSU.setColumn(2);
        EXPECT_EQ(w.ChartSU.ColumnLabel(), QStringLiteral("Grand total:"));
        EXPECT_EQ(column(w.ChartSU, 2), (std::vector<double>{1300, -250}));
        // No series at all: an empty chart.
        w.ChkSeries(1).userClicked();
        w.ChkSeries(2).userClicked();
        EXPECT_EQ(w.ChartSU.ColumnCount(), 0);
        ASSERT_NE(drawnChart(w.ChartSU), nullptr);
        EXPECT_TRUE(drawnChart(w.ChartSU)->series().isEmpty());

        w.ChkShow.userClicked();
        EXPECT_EQ(w.ChkShow.Value(), 0);
        EXPECT_EQ(w.ChartSU.Height(), 6495);
        EXPECT_EQ(w.PicLoadData.Height(), 6495);
        EXPECT_FALSE(w.PicChartSel.Visible());
        ui_test::wait(50);
        w.window()->grab().save(testing_support::scratchFolder() +
                                QStringLiteral("/mirovanta-chart-alone.png"));
    });
    EXPECT_EQ(stored(QStringLiteral("Summary"), QStringLiteral("Month0")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("Summary"), QStringLiteral("Month1")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("Summary"), QStringLiteral("Series0")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("Summary"), QStringLiteral("ShowSel")), QStringLiteral("0"));

    // Reopened, the window is as it was left, the panel hidden.
    inChart([&](Chart& w) {
        EXPECT_EQ(w.ChartSU.Height(), 6495);
        EXPECT_FALSE(w.PicChartSel.Visible());
        EXPECT_EQ(w.ChartSU.RowCount(), 2);
        EXPECT_EQ(w.ChartSU.ColumnCount(), 0);
        w.closeByUser(); // the close box keeps the boxes too
    });
    EXPECT_EQ(stored(QStringLiteral("Summary"), QStringLiteral("ShowSel")), QStringLiteral("0"));
}

// Mend: stored values of any text open the window (a box takes any number but 0 as ticked).
TEST_F(ChartTest, StoredStatesOfAnyTextAndOneMonthLeft) {
    rt::SaveSetting(kSettingsApp, QStringLiteral("Summary"), QStringLiteral("Series0"),
                    QStringLiteral("-1"));
    rt::SaveSetting(kSettingsApp, QStringLiteral("Summary"), QStringLiteral("Series1"),
                    QStringLiteral("oui"));
    rt::SaveSetting(kSettingsApp, QStringLiteral("Summary"), QStringLiteral("Series2"),
                    QStringLiteral("7"));
    for (int i = 1; i <= 11; ++i)
        rt::SaveSetting(kSettingsApp, QStringLiteral("Summary"), QStringLiteral("Month%1").arg(i),
                        QStringLiteral("0"));
    inChart([&](Chart& w) {
        EXPECT_EQ(w.ChkSeries(0).Value(), 1);
        EXPECT_EQ(w.ChkSeries(1).Value(), 0);
        EXPECT_EQ(w.ChkSeries(2).Value(), 1);
        EXPECT_EQ(w.ChartSU.RowCount(), 1); // one month, as stored
        ASSERT_NE(drawnChart(w.ChartSU), nullptr);
        EXPECT_EQ(drawnChart(w.ChartSU)->series().size(), 2);
    });
}

// Without the chart module the window opens all the same and its chart keeps the data; in the
// chart's place the user reads which file is missing. The log names it once.
TEST_F(ChartTest, WithoutTheChartModuleTheWindowSaysSoAndKeepsTheData) {
    QTemporaryDir empty;
    testing_support::WarningLog log;
    testing_support::ModulesSearchedIn searched({empty.path()});
    for (int opened = 0; opened < 2; ++opened)
        inChart([&](Chart& w) {
            ChartControl& chart = w.ChartSU;
            EXPECT_EQ(chart.ColumnCount(), 3);
            EXPECT_EQ(column(chart, 3),
                      (std::vector<double>{1300, 0, -250, 0, 0, 600, 700, 0, 0, 0, 0, 0}));
            EXPECT_EQ(drawnChart(chart), nullptr);
            auto* shown = qobject_cast<QLabel*>(chart.chartView());
            ASSERT_NE(shown, nullptr);
            EXPECT_TRUE(shown->isVisible());
            EXPECT_EQ(shown->size(),
                      QSize(rt::TwipsToPixels(chart.Width()), rt::TwipsToPixels(chart.Height())));
            EXPECT_TRUE(shown->text().contains(QStringLiteral("libmirovanta_chart.so")))
                << shown->text().toStdString();
            w.window()->grab().save(testing_support::scratchFolder() +
                                    QStringLiteral("/mirovanta-chart-missing.png"));
        });
    EXPECT_EQ(log.containing(QStringLiteral("libmirovanta_chart.so")).size(), 1)
        << log.messages.join(u'\n').toStdString();
}

// The chart is made when it first shows, once the totals are in: a series box clicked while
// they are gathered is drawn then, and the chart fills the control's place as it changes.
TEST_F(ChartTest, TheChartMadeWhenShownDrawsWhatWasChosenBefore) {
    inChart(
        [&](Chart& w) {
            ChartControl& chart = w.ChartSU;
            EXPECT_EQ(chart.widget()->findChild<QChartView*>(), nullptr);
            w.ChkSeries(1).setValue(rt::vbUnchecked);
            EXPECT_EQ(chart.ColumnCount(), 2);
            ASSERT_TRUE(ui_test::waitFor([&] { return chart.Visible(); }, 3000));
            auto* view = chart.widget()->findChild<QChartView*>();
            ASSERT_NE(view, nullptr);
            EXPECT_TRUE(view->isVisible());
            EXPECT_EQ(view->geometry(), chart.widget()->rect());
            QStringList names;
            for (QAbstractSeries* s : view->chart()->series())
                names << s->name();
            EXPECT_EQ(names.join(u','), QStringLiteral("Revenus,Grand total:"));
            ASSERT_EQ(view->chart()->series().size(), 2);
            EXPECT_EQ(static_cast<QLineSeries*>(view->chart()->series()[1])->at(0).y(), 1300);
            w.ChkShow.setValue(rt::vbUnchecked);
            EXPECT_EQ(view->height(), rt::TwipsToPixels(kChartHeightAlone));
            EXPECT_EQ(view->geometry(), chart.widget()->rect());
            EXPECT_EQ(chart.chartView(), view);
        },
        false);
}

// Mend: closed before the totals are in, the window leaves no hourglass behind.
TEST_F(ChartTest, ClosedWhileGatheringLeavesTheNormalPointer) {
    inChart(
        [&](Chart& w) {
            EXPECT_TRUE(services.ui->hourglass());
            EXPECT_TRUE(w.PicLoadData.Visible());
            EXPECT_FALSE(w.ChartSU.Visible());
            EXPECT_EQ(w.PicLoading.Left(),
                      (w.PicLoadData.Width() - w.PicLoading.Width()) / 2); // centred
        },
        false);
    EXPECT_FALSE(services.ui->hourglass());
}

TEST_F(ChartTest, GrandTotalsStayWithin32Bits) {
    Chart w;
    const struct {
        int32_t income, expense, total;
    } rows[] = {
        {1500, 200, 1300}, {100, 350, -250}, {INT32_MAX, -5, INT32_MAX}, {INT32_MIN, 5, INT32_MIN}};
    for (const auto& row : rows) {
        w.IncomeTotals(4) = row.income;
        w.ExpenseTotals(4) = row.expense;
        EXPECT_EQ(w.GetGrandTotal(4), row.total);
    }
    EXPECT_EQ(w.GetGrandTotal(0), 0);
    EXPECT_EQ(w.GetGrandTotal(13), 0);
}

TEST_F(ChartTest, OpensFromTheMainWindowOnlyWithADocument) {
    FrmMainForm& main = FrmMain.get();
    const QString state = main.Tag();
    main.setTag(QStringLiteral("Logo"));
    main.CmdSUChart(1).raiseEvent(rt::Event::Click);
    EXPECT_TRUE(services.forms->modalForms.isEmpty());
    main.setTag(QStringLiteral("Edit"));
    services.forms->modalScripts.push_back([&](rt::Form& form) {
        form.Unload();
        EXPECT_FALSE(FrmSUChart.peek()->TmrGetData.isRunning());
    });
    main.CmdSUChart(0).raiseEvent(rt::Event::Click);
    EXPECT_EQ(services.forms->modalForms, QStringList{QStringLiteral("FrmSUChart")});
    EXPECT_FALSE(FrmSUChart.exists());
    main.setTag(state);

    inChart([&](Chart& w) {
        w.CmdHelp.raiseEvent(rt::Event::Click);
        pressF1(w);
    });
    ASSERT_EQ(help->calls.size(), 2u);
    for (const auto& call : help->calls)
        EXPECT_EQ(call.topic, QStringLiteral("Html\\d_suchart.htm"));
}
