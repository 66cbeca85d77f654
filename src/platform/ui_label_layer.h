#pragma once
// Labels have no window of their own: the widget of their container (its client widget) draws
// them over its own painting and under its child widgets, and hands them the mouse events at
// their places. One layer per container widget that holds labels, made with its first label
// (internal to the runtime).
//
// The events keep the order they had when each label was a widget of its own: the label under
// the pointer has its handlers run first, then the container widget handles the event as one a
// child passed on to it. A press on a label keeps the mouse for that label until every button
// is released. A label takes the events at its place whether it is enabled or not, as it did;
// a hidden label or one of no size takes none, and a child widget over it takes them first.

#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>
#include <vector>

class QMouseEvent;
class QPaintEvent;
class QPainter;
class QWidget;

namespace rt {

class Label;
struct LabelTable;

class LabelLayer : public QObject {
public:
    // The layer of host, made when there is none yet.
    static LabelLayer& of(QWidget* host);
    // The layer of host, or nullptr when it draws no label.
    static LabelLayer* find(const QWidget* host);
    // The label at pos (pixels of host) that takes the mouse there, or nullptr; a child widget
    // there hides the labels under it.
    static Label* labelAt(const QWidget* host, QPoint pos);

    // Labels are drawn in the order they were added, the last on top.
    void add(Label* label);
    void remove(Label* label);
    // Brings a label to the top (front) or to the bottom of the labels.
    void restack(Label* label, bool front);
    // Has the pixels of host in rect painted again (a label's place, before or after a change).
    void update(const QRect& rect);
    QWidget* host() const { return host_; }
    // The labels, in the order they are drawn.
    const std::vector<Label*>& labels() const { return labels_; }

    // The table that assistive technology reads the labels as (ui_accessibility.h), if any.
    const LabelTable* table() const { return table_.get(); }
    void setTable(std::unique_ptr<LabelTable> table);
    // A press and release of the left button at the middle of label, handled as the mouse's
    // (the label's handlers, then the host's), whatever lies over it.
    void click(Label* label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit LabelLayer(QWidget* host);
    ~LabelLayer() override;
    Label* topmostAt(QPoint pos) const;
    // A mouse event at the host: the label it belongs to gets it first. True when the host
    // must not see it (a move that the host, tracking no mouse, would have dropped).
    bool routeMouse(QMouseEvent* event);
    void paintLabels(QPaintEvent* event);

    QWidget* host_;
    bool hostTracks_; // the host follows the mouse with no button down by itself
    std::vector<Label*> labels_;
    bool buttonDown_ = false; // a button went down over the host and is still down
    QPointer<Label> grabbed_; // the label that took that press, if one did
    QPointer<Label> clicked_; // the label that click() gives its press to
    std::unique_ptr<LabelTable> table_;
};

} // namespace rt
