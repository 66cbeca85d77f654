#include "chart_control.h"

#include "core/numeric.h"
#include "core/rt_error.h"
#include "platform/ui_dispatch.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLegendMarker>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

ChartControl::ChartControl(rt::Container& parent, const QString& name, int index)
    // A windowed control that raises no property event: the runtime's table has nothing for a
    // picture box either.
    : rt::Control(rt::ControlKind::PictureBox, parent, name, index) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    view_ = new QChartView(chart);
    view_->setRenderHint(QPainter::Antialiasing);
    // The axes live as long as the chart: an axis taken out of a chart leaves its labels in
    // the scene, cut down to "...".
    x_ = new QCategoryAxis;
    x_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x_->setGridLineVisible(false);
    y_ = new QValueAxis;
    y_->setTickType(QValueAxis::TicksDynamic);
    y_->setTickAnchor(0);
    y_->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(x_, Qt::AlignBottom);
    chart->addAxis(y_, Qt::AlignLeft);
    attachWidget(view_);
    rebuild();
}

void ChartControl::setChartType(int type) {
    if (type == chartType_) return;
    chartType_ = type;
    changedData();
}

void ChartControl::setColumnCount(int count) {
    if (count < 0) rt::raise(rt::ErrInvalidProperty);
    columns_.resize(size_t(count));
    for (Series& s : columns_)
        s.values.resize(rowLabels_.size(), 0.0);
    column_ = std::clamp(column_, 1, std::max(1, count));
    changedData();
}

void ChartControl::setRowCount(int count) {
    if (count < 0) rt::raise(rt::ErrInvalidProperty);
    rowLabels_.resize(size_t(count));
    for (Series& s : columns_)
        s.values.resize(size_t(count), 0.0);
    row_ = std::clamp(row_, 1, std::max(1, count));
    changedData();
}

void ChartControl::checkColumn(int column) const {
    if (column < 1 || column > ColumnCount()) rt::raise(rt::ErrInvalidProperty);
}

void ChartControl::checkRow(int row) const {
    if (row < 1 || row > RowCount()) rt::raise(rt::ErrInvalidProperty);
}

void ChartControl::setColumn(int column) {
    checkColumn(column);
    column_ = column;
}

void ChartControl::setRow(int row) {
    checkRow(row);
    row_ = row;
}

QString ChartControl::ColumnLabel() const {
    checkColumn(column_);
    return columns_[size_t(column_ - 1)].label;
}

void ChartControl::setColumnLabel(const QString& label) {
    checkColumn(column_);
    columns_[size_t(column_ - 1)].label = label;
    changedData();
}

QString ChartControl::RowLabel() const {
    checkRow(row_);
    return rowLabels_[size_t(row_ - 1)];
}

void ChartControl::setRowLabel(const QString& label) {
    checkRow(row_);
    rowLabels_[size_t(row_ - 1)] = label;
    changedData();
}

QString ChartControl::Data() const {
    return QString::number(Value(row_, column_));
}

void ChartControl::setData(const QString& value) {
    checkColumn(column_);
    checkRow(row_);
    columns_[size_t(column_ - 1)].values[size_t(row_ - 1)] = rt::Val(value);
    changedData();
}

double ChartControl::Value(int Row, int Column) const {
    checkColumn(Column);
    checkRow(Row);
    return columns_[size_t(Column - 1)].values[size_t(Row - 1)];
}

void ChartControl::setSeriesColor(int Column, int Red, int Green, int Blue) {
    checkColumn(Column);
    Series& s = columns_[size_t(Column - 1)];
    s.color = rt::RGB(std::clamp(Red, 0, 255), std::clamp(Green, 0, 255), std::clamp(Blue, 0, 255));
    s.colorSet = true;
    changedData();
}

rt::OleColor ChartControl::SeriesColor(int Column) const {
    checkColumn(Column);
    return columns_[size_t(Column - 1)].color;
}

void ChartControl::ClearChart() {
    columns_.clear();
    rowLabels_.clear();
    column_ = 1;
    row_ = 1;
    changedData();
}

void ChartControl::changedData() {
    dirty_ = true;
    // A fill sets many cells one after another: the chart is drawn once, afterwards.
    if (rebuildQueued_) return;
    rebuildQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        rebuildQueued_ = false;
        rt::dispatch([this] {
            if (dirty_) rebuild();
        });
    });
}

QChart* ChartControl::chart() {
    if (dirty_) rebuild();
    return view_->chart();
}

void ChartControl::rebuild() {
    dirty_ = false;
    QChart* chart = view_->chart();
    chart->removeAllSeries();

    const int rows = RowCount();
    // The X axis: one place per row, the labels under the points. A category axis takes each
    // label once only, so a repeated label is told apart by trailing blanks nobody sees.
    QCategoryAxis* x = x_;
    for (const QString& label : x->categoriesLabels())
        x->remove(label);
    x->setStartValue(-0.5);
    std::vector<QString> used;
    for (int r = 0; r < rows; ++r) {
        QString label = rowLabels_[size_t(r)];
        while (std::find(used.begin(), used.end(), label) != used.end())
            label += u' ';
        used.push_back(label);
        x->append(label, r);
    }
    x->setRange(-0.5, std::max(0.5, rows - 0.5));

    // The Y axis: from the lowest to the highest value, always with 0, in whole steps of 1, 2
    // or 5 times a power of ten, with room so that no point lies on the chart's edge.
    double low = 0, high = 0;
    for (const Series& s : columns_)
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
    QValueAxis* y = y_;
    y->setTickInterval(step);
    y->setRange(std::floor(low / step) * step, std::ceil(high / step) * step);
    for (const Series& s : columns_) {
        auto* line = new QLineSeries;
        line->setName(s.label);
        for (int r = 0; r < rows; ++r)
            line->append(r, s.values[size_t(r)]);
        line->setPointsVisible(true);
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
        QPen pen = line->pen();
        pen.setWidth(2);
        if (s.colorSet) pen.setColor(rt::ToQColor(s.color));
        line->setPen(pen);
    }
    chart->legend()->setVisible(!columns_.empty());
}
