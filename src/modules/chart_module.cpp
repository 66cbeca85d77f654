// The chart module: the line chart of platform/line_chart.h on Qt Charts.

#include "platform/line_chart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

QChart* newChart() {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

class LineChartView : public QChartView, public rt::LineChart {
public:
    LineChartView() : QChartView(newChart()) {
        setRenderHint(QPainter::Antialiasing);
        // The axes live as long as the chart: an axis taken out of a chart leaves its labels
        // in the scene, cut down to "...".
        x_ = new QCategoryAxis;
        x_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        x_->setGridLineVisible(false);
        y_ = new QValueAxis;
        y_->setTickType(QValueAxis::TicksDynamic);
        y_->setTickAnchor(0);
        y_->setLabelFormat(QStringLiteral("%.0f"));
        chart()->addAxis(x_, Qt::AlignBottom);
        chart()->addAxis(y_, Qt::AlignLeft);
    }

    QWidget* widget() override { return this; }

    void draw(const rt::LineChartData& data) override {
        QChart* chart = this->chart();
        chart->removeAllSeries();

        const int rows = int(data.rowLabels.size());
        // The X axis: one place per row, the labels under the points. A category axis takes
        // each label once only, so a repeated label is told apart by trailing blanks nobody
        // sees.
        for (const QString& label : x_->categoriesLabels())
            x_->remove(label);
        x_->setStartValue(-0.5);
        std::vector<QString> used;
        for (int r = 0; r < rows; ++r) {
            QString label = data.rowLabels[size_t(r)];
            while (std::find(used.begin(), used.end(), label) != used.end())
                label += u' ';
            used.push_back(label);
            x_->append(label, r);
        }
        x_->setRange(-0.5, std::max(0.5, rows - 0.5));

        // The Y axis: from the lowest to the highest value, always with 0, in whole steps of 1,
        // 2 or 5 times a power of ten, with room so that no point lies on the chart's edge.
        double low = 0, high = 0;
        for (const rt::LineChartSeries& s : data.series)
            for (double v : s.values) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        const double room = high > low ? (high - low) * 0.05 : 1;
        high += room;
        if (low < 0) low -= room;
        const double raw = (high - low) / 5;
        const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
        const double f = raw / magnitude;
        const double step = std::max(1.0, (f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10) * magnitude);
        y_->setTickInterval(step);
        y_->setRange(std::floor(low / step) * step, std::ceil(high / step) * step);
        for (const rt::LineChartSeries& s : data.series) {
            auto* line = new QLineSeries;
            line->setName(s.label);
            for (int r = 0; r < rows; ++r)
                line->append(r, s.values[size_t(r)]);
            line->setPointsVisible(true);
            chart->addSeries(line);
            line->attachAxis(x_);
            line->attachAxis(y_);
            QPen pen = line->pen();
            pen.setWidth(2);
            if (s.color.isValid()) pen.setColor(s.color);
            line->setPen(pen);
        }
        chart->legend()->setVisible(!data.series.empty());
    }

private:
    QCategoryAxis* x_;
    QValueAxis* y_;
};

} // namespace

extern "C" Q_DECL_EXPORT rt::LineChart* mirovanta_chart_create() {
    return new LineChartView;
}
static_assert(std::is_same_v<decltype(&mirovanta_chart_create), rt::CreateLineChart>);
