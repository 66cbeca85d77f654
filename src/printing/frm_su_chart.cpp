#include "frm_su_chart.h"

#include "common_graph.h"
#include "core/numeric.h"
#include "core/resources.h"
#include "core/settings_store.h"
#include "core/ui_services.h"
#include "document/day_items.h"
#include "document/doc_state.h"
#include "printing.h"
#include "services/form_support.h"
#include "services/shell_services.h"

#include <algorithm>

rt::FormSlot<FrmSUChartForm> FrmSUChart{"FrmSUChart"};

namespace {

const QString kSection = QStringLiteral("Summary");

QString T(int id) {
    return rt::LoadResString(id);
}

// The series' line colours (red, green, blue), and the back and text colours of their boxes.
struct SeriesLook {
    int16_t Red, Green, Blue;
    rt::OleColor Text;
};
constexpr SeriesLook kSeries[3] = {
    {0, 0, 255, rt::vbWhite}, // incomes: blue
    {255, 0, 0, rt::vbWhite}, // expenses: red
    {0, 255, 0, rt::vbBlack}, // grand total: green
};

// A stored box state: a number, rounded; what is no number reads as 0, and any number but 0
// as ticked (a hand-edited store may hold any text).
int storedTick(const QString& key) {
    const double v = rt::RoundHalfEven(
        rt::Val(rt::GetSetting(kSettingsApp, kSection, key, QStringLiteral("1"))));
    return v != 0 ? rt::vbChecked : rt::vbUnchecked;
}

void storeTick(const QString& key, const rt::CheckBox& box) {
    rt::SaveSetting(kSettingsApp, kSection, key,
                    box.Value() == rt::vbUnchecked ? QStringLiteral("0") : QStringLiteral("1"));
}

QString monthKey(int i) {
    return QStringLiteral("Month") + QString::number(i);
}

QString seriesKey(int i) {
    return QStringLiteral("Series") + QString::number(i);
}

} // namespace

FrmSUChartForm::FrmSUChartForm() : rt::Form(QStringLiteral("FrmSUChart")) {
    setBorderStyle(rt::vbFixedDialog);
    setKeyPreview(true);
    Move(0, 0, 9870, 7305);

    constexpr int kWidth = 9495;
    ChartSU.Move(120, 120, kWidth, kChartHeightWithSelection);
    ChartSU.setVisible(false);
    PicLoadData.Move(120, 120, kWidth, kChartHeightWithSelection);
    PicLoadData.setVisible(false);
    PicLoading.setBorderStyle(0);
    PicLoading.setBackColor(rt::vbBlack);
    PicLoading.Move(0, 0, 5400, 1110);
    LblLoading.Move(240, 180, 4920, 285);
    LblLoading.setBackColor(rt::vbBlack);
    LblLoading.setForeColor(rt::vbWhite);
    LblLoading.setAlignment(rt::vbCenter);
    PBarLoad.Move(240, 600, 4920, 285);

    // The selection panel fills the place that the chart takes when the panel is hidden.
    PicChartSel.setBorderStyle(0);
    PicChartSel.Move(120, 120 + kChartHeightWithSelection + 120, kWidth,
                     kChartHeightAlone - kChartHeightWithSelection - 120);
    FrmSeries.Move(0, 0, 2655, 1800);
    for (int i = 0; i <= 2; ++i) {
        rt::PictureBox& panel = PicSeries(i);
        panel.setBorderStyle(0);
        panel.Move(150, 300 + i * 465, 2355, 375);
        const rt::OleColor colour = rt::RGB(kSeries[i].Red, kSeries[i].Green, kSeries[i].Blue);
        panel.setBackColor(colour);
        rt::CheckBox& box = ChkSeries(i);
        box.Move(60, 45, 2235, 285);
        box.setBackColor(colour);
        box.setForeColor(kSeries[i].Text);
        box.onClick = [this, i] { ChkSeries_Click(i); };
    }
    FrmXAxis.Move(2775, 0, kWidth - 2775, 1800);
    for (int i = 0; i <= 11; ++i) {
        // Three columns of four months, January to April in the first.
        ChkMonth(i).Move(180 + (i / 4) * 2190, 300 + (i % 4) * 360, 2070, 285);
        ChkMonth(i).onClick = [this, i] { ChkMonth_Click(i); };
    }

    ChkShow.Move(120, 120 + kChartHeightAlone + 135, 6495, 285);
    // Ticked as the window is laid out: a stored "0" hides the panel through the handler.
    ChkShow.setValue(rt::vbChecked);
    ChkShow.onClick = [this] { ChkShow_Click(); };
    CmdHelp.Move(120 + kWidth - 1215 - 120 - 450, 120 + kChartHeightAlone + 90, 450, 375);
    CmdHelp.setStyle(1);
    CmdHelp.onClick = [this] { CmdHelp_Click(); };
    CmdOk.Move(120 + kWidth - 1215, 120 + kChartHeightAlone + 90, 1215, 375);
    CmdOk.setDefault(true);
    CmdOk.onClick = [this] { CmdOk_Click(); };

    TmrGetData.setEnabled(false);
    TmrGetData.setInterval(1000);
    TmrGetData.onTimer = [this] { TmrGetData_Timer(); };
}

void FrmSUChartForm::Form_Load() {
    rt::SetHourglass(true);
    InitForm();
    TmrGetData.setEnabled(true);
}

void FrmSUChartForm::InitForm() {
    IsBusy = -1;
    setCaption(QStringLiteral("Mirovanta - ") + T(1101));
    setIcon(rt::LoadResPicture(1101, rt::vbResIcon));
    LblLoading.setCaption(T(1102));
    FrmSeries.setCaption(T(1103));
    FrmXAxis.setCaption(T(1104));
    CmdHelp.setToolTipText(T(223));
    CmdHelp.setPicture(HelpButtonPicture());
    CmdOk.setCaption(T(502));

    for (int i = 0; i <= 2; ++i) {
        ChkSeries(i).setCaption(T(i == 2 ? 1106 : 711 + i));
        ChkSeries(i).setValue(storedTick(seriesKey(i)));
    }
    ChkShow.setCaption(T(1105));
    ChkShow.setValue(storedTick(QStringLiteral("ShowSel")));
    for (int i = 0; i <= 11; ++i) {
        ChkMonth(i).setCaption(T(210 + i));
        ChkMonth(i).setValue(storedTick(monthKey(i)));
    }

    PicLoadData.setVisible(true);
    rt::DoEvents();
    CenterInContainer(PicLoading, PicLoadData);
    PBarLoad.setValue(0);
    IsBusy = 0;
}

void FrmSUChartForm::TmrGetData_Timer() {
    TmrGetData.setEnabled(false);
    GetData();
}

void FrmSUChartForm::GetData() {
    PBarLoad.setValue(0);
    for (int16_t m = 1; m <= 12; ++m) {
        MonthTotals(m, IncomeTotals(m), ExpenseTotals(m));
        PBarLoad.setValue(m * 100 / 12);
        rt::DoEvents();
    }
    PBarLoad.setValue(100);
    FillChart();
    PicLoadData.setVisible(false);
    ChartSU.setVisible(true);
    rt::SetHourglass(false);
}

int32_t FrmSUChartForm::GetGrandTotal(int16_t Month) const {
    if (Month < 1 || Month > 12) return 0;
    // Held at the limits of 32 bits where the difference goes beyond them.
    const int64_t total = int64_t(IncomeTotals(Month)) - ExpenseTotals(Month);
    return int32_t(std::clamp<int64_t>(total, INT32_MIN, INT32_MAX));
}

void FrmSUChartForm::FillChart() {
    ChartSU.ClearChart();
    ChartSU.setChartType(ChartControl::VtChChartType2dLine);

    std::vector<ChartItem> series, months;
    for (int16_t i = 0; i <= 2; ++i)
        if (ChkSeries(i).Value() != rt::vbUnchecked)
            series.push_back({T(1107 + i), i, kSeries[i].Red, kSeries[i].Green, kSeries[i].Blue});
    for (int16_t j = 0; j <= 11; ++j)
        if (ChkMonth(j).Value() != rt::vbUnchecked)
            months.push_back({rt::TrimBlanks(ChkMonth(j).Caption().left(3)), j});

    ChartSU.setColumnCount(int(series.size()));
    ChartSU.setRowCount(int(months.size()));
    for (int c = 1; c <= ChartSU.ColumnCount(); ++c) {
        const ChartItem& s = series[size_t(c - 1)];
        ChartSU.setColumn(c);
        ChartSU.setColumnLabel(s.Label);
        ChartSU.setSeriesColor(c, s.Red, s.Green, s.Blue);
        for (int r = 1; r <= ChartSU.RowCount(); ++r) {
            const ChartItem& month = months[size_t(r - 1)];
            ChartSU.setRow(r);
            ChartSU.setRowLabel(month.Label);
            const int16_t m = int16_t(month.Index + 1);
            const int32_t value = s.Index == 0   ? IncomeTotals(m)
                                  : s.Index == 1 ? ExpenseTotals(m)
                                                 : GetGrandTotal(m);
            ChartSU.setData(QString::number(value));
        }
    }
}

void FrmSUChartForm::ChkSeries_Click(int) {
    FillChart();
}

void FrmSUChartForm::ChkMonth_Click(int Index) {
    if (IsBusy) return;
    if (ChkMonth(Index).Value() == rt::vbUnchecked) {
        int ticked = 0;
        for (int i = 0; i <= 11; ++i)
            if (ChkMonth(i).Value() != rt::vbUnchecked) ++ticked;
        // Two months at least stay: ticking the box again runs this handler once more.
        if (ticked < 2) ChkMonth(Index).setValue(rt::vbChecked);
    }
    FillChart();
}

void FrmSUChartForm::ChkShow_Click() {
    const bool shown = ChkShow.Value() != rt::vbUnchecked;
    const int height = shown ? kChartHeightWithSelection : kChartHeightAlone;
    ChartSU.setHeight(height);
    PicLoadData.setHeight(height);
    PicChartSel.setVisible(shown);
}

void FrmSUChartForm::CmdHelp_Click() {
    ShowHelp(QStringLiteral("Html\\d_suchart.htm"));
}

void FrmSUChartForm::Form_KeyDown(int& KeyCode, int) {
    if (KeyCode == 112) CmdHelp_Click();
}

void FrmSUChartForm::CmdOk_Click() {
    Unload();
}

void FrmSUChartForm::Form_Unload(int&) {
    // Closed before the totals were gathered: nothing more will gather them, and the pointer
    // must not stay an hourglass.
    if (TmrGetData.Enabled()) {
        TmrGetData.setEnabled(false);
        rt::SetHourglass(false);
    }
    for (int i = 0; i <= 11; ++i)
        storeTick(monthKey(i), ChkMonth(i));
    for (int i = 0; i <= 2; ++i)
        storeTick(seriesKey(i), ChkSeries(i));
    storeTick(QStringLiteral("ShowSel"), ChkShow);
}

void RunSummaryChart() {
    FrmSUChart->Show(rt::vbModal);
    FrmSUChart.release();
}
