#include "chart_control.h"

#include "core/numeric.h"
#include "core/rt_error.h"
#include "platform/line_chart.h"
#include "platform/module_loader.h"
#include "platform/ui_dispatch.h"

#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

// The control's own widget, which holds what shows the chart and keeps it at its own size. The
// chart's view is made when this widget is first shown or the view is asked for: a window that
// opens with its chart hidden (the summary chart, until its totals are gathered) builds no
// chart scene before it shows one.
class ChartHost : public QWidget {
public:
    std::function<void()> onShow;
    QWidget* content = nullptr;

protected:
    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        if (onShow) onShow();
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (content) content->setGeometry(rect());
    }
};

// The control's widget is its host, made with it.
ChartHost* hostOf(const rt::Control& control) {
    return static_cast<ChartHost*>(control.widget());
}

} // namespace

ChartControl::ChartControl(rt::Container& parent, const QString& name, int index)
    // A windowed control that raises no property event: the runtime's table has nothing for a
    // picture box either.
    : rt::Control(rt::ControlKind::PictureBox, parent, name, index) {
    auto* host = new ChartHost;
    // The module loads with the control, so that a window knows at once whether it can chart.
    create_ = rt::moduleFunction<rt::CreateLineChart>(rt::kChartModule, rt::kChartEntry);
    if (!create_) {
        // The module loader has logged why; the user reads it where the chart would be.
        const QString text = QStringLiteral("Le graphique ne peut pas être affiché : le fichier "
                                            "%1 est introuvable ou ne peut pas être chargé.")
                                 .arg(rt::moduleFileName(rt::kChartModule));
        auto* missing = new QLabel(text, host);
        missing->setAlignment(Qt::AlignCenter);
        missing->setWordWrap(true);
        host->content = missing;
        addEventSource(missing);
    } else {
        host->onShow = [this] { makeDrawing(); };
    }
    attachWidget(host);
    if (host->content) host->content->setGeometry(host->rect());
}

void ChartControl::makeDrawing() {
    if (drawing_ || !create_) return;
    ChartHost* host = hostOf(*this);
    if (!host) return;
    drawing_ = create_();
    QWidget* view = drawing_->widget();
    view->setParent(host);
    view->setGeometry(host->rect());
    host->content = view;
    addEventSource(view);
    view->show();
    // What was set before is drawn now.
    dirty_ = true;
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

QWidget* ChartControl::chartView() {
    if (!widget()) return nullptr;
    makeDrawing();
    if (dirty_) rebuild();
    return hostOf(*this)->content;
}

void ChartControl::rebuild() {
    if (!drawing_ || !widget()) return;
    dirty_ = false;
    rt::LineChartData data;
    data.rowLabels = rowLabels_;
    for (const Series& s : columns_)
        data.series.push_back({s.label, s.colorSet ? rt::ToQColor(s.color) : QColor(), s.values});
    drawing_->draw(data);
}
