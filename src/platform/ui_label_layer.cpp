#include "ui_label_layer.h"

#include "ui_accessibility.h"
#include "ui_controls.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

namespace rt {

namespace {
LabelLayer* existingLayer(const QWidget* host) {
    if (!host) return nullptr;
    for (QObject* child : host->children())
        if (auto* layer = dynamic_cast<LabelLayer*>(child)) return layer;
    return nullptr;
}
} // namespace

LabelLayer::LabelLayer(QWidget* host)
    : QObject(host), host_(host), hostTracks_(host->hasMouseTracking()) {
    // Moves with no button down reach the labels through the host; a host that did not follow
    // them by itself still drops them (routeMouse).
    host->setMouseTracking(true);
    host->installEventFilter(this);
    labelHostMade(host);
}

LabelLayer::~LabelLayer() = default;

LabelLayer& LabelLayer::of(QWidget* host) {
    if (LabelLayer* layer = existingLayer(host)) return *layer;
    return *new LabelLayer(host);
}

LabelLayer* LabelLayer::find(const QWidget* host) {
    return existingLayer(host);
}

void LabelLayer::setTable(std::unique_ptr<LabelTable> table) {
    table_ = std::move(table);
}

void LabelLayer::click(Label* label) {
    const QPoint at = label->placeInHost().center();
    const QPoint global = host_->mapToGlobal(at);
    QPointer<LabelLayer> self(this);
    clicked_ = label;
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(host_, &event);
        if (!self) return; // the host went with a handler
    }
    clicked_ = nullptr;
}

Label* LabelLayer::labelAt(const QWidget* host, QPoint pos) {
    const LabelLayer* layer = existingLayer(host);
    return layer ? layer->topmostAt(pos) : nullptr;
}

void LabelLayer::add(Label* label) {
    labels_.push_back(label);
}

void LabelLayer::remove(Label* label) {
    labels_.erase(std::remove(labels_.begin(), labels_.end(), label), labels_.end());
    if (grabbed_ == label) grabbed_ = nullptr;
}

void LabelLayer::restack(Label* label, bool front) {
    const auto at = std::find(labels_.begin(), labels_.end(), label);
    if (at == labels_.end()) return;
    labels_.erase(at);
    if (front)
        labels_.push_back(label);
    else
        labels_.insert(labels_.begin(), label);
}

void LabelLayer::update(const QRect& rect) {
    if (!rect.isEmpty()) host_->update(rect);
}

Label* LabelLayer::topmostAt(QPoint pos) const {
    // A child widget there came first, as the label widgets lay under every other widget.
    if (host_->childAt(pos)) return nullptr;
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it) {
        Label* label = *it;
        if (!label->Visible()) continue;
        const QRect place = label->placeInHost();
        if (!place.isEmpty() && place.contains(pos)) return label;
    }
    return nullptr;
}

bool LabelLayer::routeMouse(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const bool noButton = event->buttons() == Qt::NoButton;
    Label* target = nullptr;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The first button down gives the mouse to what lies under it until all are released.
        if (!buttonDown_ || event->buttons() == event->button()) {
            buttonDown_ = true;
            grabbed_ = clicked_ ? clicked_.data() : topmostAt(pos);
        }
        target = grabbed_;
        break;
    case QEvent::MouseMove:
        if (noButton) {
            buttonDown_ = false;
            grabbed_ = nullptr;
            target = topmostAt(pos);
        } else if (buttonDown_) {
            target = grabbed_;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (buttonDown_) target = grabbed_;
        if (noButton) buttonDown_ = false;
        break;
    default:
        break;
    }
    bool stopped = false;
    if (target) {
        // The label sees the event in its own pixels; its handlers run through its filter.
        const QPointF local = event->position() - target->placeInHost().topLeft();
        QMouseEvent own(event->type(), local, event->scenePosition(), event->globalPosition(),
                        event->button(), event->buttons(), event->modifiers(),
                        event->pointingDevice());
        QPointer<LabelLayer> self(this);
        stopped = static_cast<QObject*>(target)->eventFilter(nullptr, &own);
        if (!self) return true; // the host went with the handler
    }
    if (event->type() == QEvent::MouseButtonRelease && !buttonDown_) grabbed_ = nullptr;
    // A handler that failed ends the event there; a move that the host would not have followed
    // goes no further either.
    return stopped || (event->type() == QEvent::MouseMove && noButton && !hostTracks_);
}

void LabelLayer::paintLabels(QPaintEvent* event) {
    const QRect dirty = event->rect();
    QPainter p;
    for (Label* label : labels_) {
        if (!label->Visible()) continue;
        const QRect place = label->placeInHost();
        if (place.isEmpty() || !place.intersects(dirty)) continue;
        if (!p.isActive()) p.begin(host_);
        p.save();
        p.setClipRect(place);
        p.translate(place.topLeft());
        label->paint(p, QRect(QPoint(0, 0), place.size()));
        p.restore();
    }
}

bool LabelLayer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != host_) return false;
    switch (event->type()) {
    case QEvent::Paint:
        // The host paints itself, then its labels over that; its child widgets come after.
        static_cast<QObject*>(host_)->event(event);
        paintLabels(static_cast<QPaintEvent*>(event));
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return routeMouse(static_cast<QMouseEvent*>(event));
    case QEvent::ToolTip: {
        auto* help = static_cast<QHelpEvent*>(event);
        const Label* label = topmostAt(help->pos());
        // A label without a tip leaves the host's own.
        if (!label || label->ToolTipText().isEmpty()) return false;
        QToolTip::showText(help->globalPos(), label->ToolTipText(), host_, label->placeInHost());
        return true;
    }
    default:
        return false;
    }
}

} // namespace rt
