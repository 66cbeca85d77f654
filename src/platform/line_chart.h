#pragma once
// What the chart module (libmirovanta_chart.so, src/modules/chart_module.cpp) offers: a
// two-dimensional line chart drawn with Qt Charts from a grid of values, one line per series
// and one point per row. The module is loaded when the first chart is made (module_loader.h),
// so that a start without a chart does not map Qt Charts.

#include <QColor>
#include <QString>
#include <vector>

class QWidget;

namespace rt {

struct LineChartSeries {
    QString label;              // in the legend
    QColor color;               // of the line; invalid: the chart's own colour for the series
    std::vector<double> values; // one per row
};

struct LineChartData {
    std::vector<QString> rowLabels; // under the points, one per row; they need not differ
    std::vector<LineChartSeries> series;
};

// A chart and the widget that shows it. The widget owns the chart: deleting the widget
// deletes it, and nothing else does.
class LineChart {
public:
    // The widget, without a parent until the caller gives it one.
    virtual QWidget* widget() = 0;
    // Draws the data in place of what was drawn before.
    virtual void draw(const LineChartData& data) = 0;

protected:
    ~LineChart() = default;
};

// The module's entry: a new chart, with nothing drawn yet.
inline constexpr char kChartModule[] = "chart";
inline constexpr char kChartEntry[] = "mirovanta_chart_create";
using CreateLineChart = LineChart* (*)();

} // namespace rt
