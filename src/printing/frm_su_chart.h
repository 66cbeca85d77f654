#pragma once
// The summary chart window: the incomes, the expenses and the grand total of each month of the
// document's year as three lines over the months. The user chooses the series and the months
// shown; the choices are kept in the settings section "Summary".

#include "chart_control.h"
#include "platform/ui_common_controls.h"
#include "platform/ui_controls.h"
#include "platform/ui_form.h"
#include "platform/ui_picture_box.h"
#include "platform/ui_timer.h"
#include "services/settings.h"

#include <QString>
#include <cstdint>

// An entry of the lists that FillChart builds: a series or a month.
struct ChartItem {
    QString Label;
    int16_t Index = 0; // series: 0 incomes, 1 expenses, 2 grand total; month: 0 to 11
    int16_t Red = 0, Green = 0, Blue = 0;
};

class FrmSUChartForm : public rt::Form {
public:
    FrmSUChartForm();

    BoundedArray<int32_t, 1, 12> IncomeTotals;
    BoundedArray<int32_t, 1, 12> ExpenseTotals;

    ChartControl ChartSU{*this, QStringLiteral("ChartSU")};
    // The loading panel, in the chart's place until the totals are gathered.
    rt::PictureBox PicLoadData{*this, QStringLiteral("PicLoadData")};
    rt::PictureBox PicLoading{PicLoadData, QStringLiteral("PicLoading")};
    rt::Label LblLoading{PicLoading, QStringLiteral("LblLoading")};
    rt::ProgressBar PBarLoad{PicLoading, QStringLiteral("PBarLoad")};
    // The selection panel under the chart.
    rt::PictureBox PicChartSel{*this, QStringLiteral("PicChartSel")};
    rt::Frame FrmSeries{PicChartSel, QStringLiteral("FrmSeries")};
    rt::ControlArray<rt::PictureBox> PicSeries{QStringLiteral("PicSeries"), [this](auto& a) {
                                                   for (int i = 0; i <= 2; ++i)
                                                       a.create(i, FrmSeries);
                                               }};
    rt::ControlArray<rt::CheckBox> ChkSeries{QStringLiteral("ChkSeries"), [this](auto& a) {
                                                 for (int i = 0; i <= 2; ++i)
                                                     a.create(i, PicSeries(i));
                                             }};
    rt::Frame FrmXAxis{PicChartSel, QStringLiteral("FrmXAxis")};
    rt::ControlArray<rt::CheckBox> ChkMonth{QStringLiteral("ChkMonth"), [this](auto& a) {
                                                for (int i = 0; i <= 11; ++i)
                                                    a.create(i, FrmXAxis);
                                            }};
    rt::CheckBox ChkShow{*this, QStringLiteral("ChkShow")};
    rt::CommandButton CmdHelp{*this, QStringLiteral("CmdHelp")};
    rt::CommandButton CmdOk{*this, QStringLiteral("CmdOk")};
    rt::Timer TmrGetData{*this, QStringLiteral("TmrGetData")};

    void InitForm();
    void GetData();
    void FillChart();
    int32_t GetGrandTotal(int16_t Month) const;

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_KeyDown(int& KeyCode, int Shift) override;
    void ChkSeries_Click(int Index);
    void ChkMonth_Click(int Index);
    void ChkShow_Click();
    void CmdHelp_Click();
    void CmdOk_Click();
    void TmrGetData_Timer();
};

// Created when shown, released after use.
extern rt::FormSlot<FrmSUChartForm> FrmSUChart;

// RunSummaryChart (printing.h) shows the window modally and releases it.

// The chart's heights in twips, with the selection panel shown and hidden.
inline constexpr int kChartHeightWithSelection = 4575;
inline constexpr int kChartHeightAlone = 6495;
