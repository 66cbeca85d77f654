#pragma once
// A chart control, reached as the program reaches a data grid chart: columns are the series,
// rows the points along the X axis; Column and Row choose the cell that ColumnLabel, RowLabel
// and Data read and write (1-based). The control draws the two-dimensional line chart
// (ChartType 3) with the series in their pens' colours, the row labels under their points and
// the series' labels in the legend.
//
// Row labels need not differ: two rows of the same label keep their own points.
//
// The drawing is the chart module's (platform/line_chart.h, on Qt Charts), loaded when the
// first control is made; the chart itself is made when the control is first shown or its view
// asked for (chartView), and draws then what was set before. Without the module the control keeps
// its data all the same and shows, in the chart's place, a line saying that the chart cannot be
// shown and which file is missing.

#include "platform/ui_control.h"

#include <QString>
#include <vector>

namespace rt {
class LineChart;
}

class ChartControl : public rt::Control {
public:
    // The chart types the program asks for.
    static constexpr int VtChChartType2dLine = 3;

    explicit ChartControl(rt::Container& parent, const QString& name = {}, int index = -1);

    int ChartType() const { return chartType_; }
    void setChartType(int type);
    int ColumnCount() const { return int(columns_.size()); }
    // Series beyond the new count are dropped; new ones start without label or data.
    void setColumnCount(int count);
    int RowCount() const { return int(rowLabels_.size()); }
    void setRowCount(int count);
    // The current cell; run-time error 380 outside 1 .. the count.
    int Column() const { return column_; }
    void setColumn(int column);
    int Row() const { return row_; }
    void setRow(int row);
    QString ColumnLabel() const;
    void setColumnLabel(const QString& label);
    QString RowLabel() const;
    void setRowLabel(const QString& label);
    // The current cell's value as text; a text is read for its numeric value.
    QString Data() const;
    void setData(const QString& value);
    // The pen colour of series Column (1-based): Plot.SeriesCollection(Column).Pen.VtColor.Set.
    void setSeriesColor(int Column, int Red, int Green, int Blue);
    rt::OleColor SeriesColor(int Column) const;
    // The value of a cell, by row and column (1-based).
    double Value(int Row, int Column) const;

    // Empties the chart: no series, no rows, no labels; the current cell back to 1, 1.
    void ClearChart();

    // The widget that shows the chart, made if it is not yet and brought up to date first: the
    // chart module's QChartView, or the line in its place when the module is missing.
    QWidget* chartView();

private:
    struct Series {
        QString label;
        rt::OleColor color = rt::RGB(0, 0, 0);
        bool colorSet = false;
        std::vector<double> values;
    };
    void checkColumn(int column) const;
    void checkRow(int row) const;
    void changedData();
    void rebuild();
    void makeDrawing();

    int chartType_ = VtChChartType2dLine;
    std::vector<Series> columns_;
    std::vector<QString> rowLabels_;
    int column_ = 1, row_ = 1;
    bool dirty_ = true;
    bool rebuildQueued_ = false;
    rt::LineChart* (*create_)() = nullptr; // the module's entry; null without the module
    // Owned by its view, in the control's widget; null until made.
    rt::LineChart* drawing_ = nullptr;
};
