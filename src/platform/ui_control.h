#pragma once
// The base of every control of the runtime: a small object that holds its own property values
// and pushes each change to its Qt widget. Reading a property returns the value last set (or
// last changed by the user), never Qt's effective state: a control is Visible while its window
// is hidden, and Enabled while its container is disabled.
//
// Positions and sizes are in twips (15 per pixel) relative to the control's container; colours
// are 0x00BBGGRR values (ui_units.h). Events reach the form through the on... hooks, which a
// form binds to its handlers (LblDay_MouseUp, CmdOk_Click...). Events raised by setting a
// property follow the one table of ui_events.h.

#include "ui_events.h"
#include "ui_units.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

class QWidget;
class QKeyEvent;

namespace rt {

class Form;
class Control;

// True when a control inside container handled this key event already: Qt offers a key that
// a widget leaves to its parents too, and it is the control's alone.
bool keyHandledWithin(const QWidget* container, const QKeyEvent* event);

// Anything that holds controls: a form, a picture box, a frame, a page of a tab control.
class Container {
public:
    virtual ~Container() = default;
    // The widget that child controls' widgets are placed on.
    virtual QWidget* clientWidget() const = 0;
    // The form that holds the container.
    virtual Form* form() const = 0;
    // A child with an Align other than 0 changed its size or visibility.
    virtual void alignedChildChanged() {}
};

// An event of a control that the form binds to a handler (CmdOk.onClick = ...). Most events of
// most controls stay unbound, and a program has thousands of controls: an unbound event costs a
// pointer, and a bound one holds its handler out of line.
template <class Signature> class Hook;
template <class R, class... Args> class Hook<R(Args...)> {
public:
    using Function = std::function<R(Args...)>;
    Hook() = default;
    Hook(const Hook& other) { *this = other; }
    Hook& operator=(const Hook& other) {
        if (this != &other) fn_ = other.fn_ ? std::make_unique<Function>(*other.fn_) : nullptr;
        return *this;
    }
    Hook& operator=(std::nullptr_t) {
        fn_.reset();
        return *this;
    }
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, Hook> &&
                                                !std::is_same_v<std::decay_t<F>, std::nullptr_t>>>
    Hook& operator=(F&& f) {
        Function fn(std::forward<F>(f));
        fn_ = fn ? std::make_unique<Function>(std::move(fn)) : nullptr;
        return *this;
    }
    explicit operator bool() const { return fn_ != nullptr; }
    R operator()(Args... args) const { return (*fn_)(std::forward<Args>(args)...); }

private:
    std::unique_ptr<Function> fn_;
};

enum AlignValue : int {
    vbAlignNone = 0,
    vbAlignTop = 1,
    vbAlignBottom = 2,
    vbAlignLeft = 3,
    vbAlignRight = 4
};

class Control : public QObject {
public:
    Control(ControlKind kind, Container& parent, const QString& name, int index);
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    ControlKind kind() const { return kind_; }
    const QString& Name() const { return name_; }
    // The index in its control array, -1 when the control is not in one.
    int Index() const { return index_; }
    Container& Parent() const { return *parent_; }
    Form* form() const { return parent_->form(); }
    // The Qt widget (nullptr for controls without one: timers, image lists, menus).
    QWidget* widget() const { return widget_; }

    // ---- Position and size, in twips ----
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, std::optional<int> top = {}, std::optional<int> width = {},
              std::optional<int> height = {});
    // 0 none, 1 top, 2 bottom, 3 left, 4 right: the form lays out aligned controls along its
    // edges (picture boxes, toolbars, status bars).
    int Align() const { return align_; }
    void setAlign(int align);

    // ---- State ----
    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    const QString& Tag() const;
    void setTag(const QString& tag);
    const QString& ToolTipText() const;
    void setToolTipText(const QString& text);

    // ---- Appearance ----
    OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);
    OleColor ForeColor() const { return foreColor_; }
    void setForeColor(OleColor color);
    // The caption of controls that show one (labels, buttons, check boxes, frames, menus).
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);

    const QString& FontName() const { return fontName_; }
    double FontSize() const { return fontSize_; }
    bool FontBold() const { return fontBold_; }
    bool FontItalic() const { return fontItalic_; }
    bool FontUnderline() const { return fontUnderline_; }
    bool FontStrikethru() const { return fontStrikethru_; }
    void setFontName(const QString& name);
    void setFontSize(double points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikethru(bool on);

    // ---- Methods ----
    // 0 brings the control to the front of its siblings, 1 sends it to the back.
    virtual void ZOrder(int position = 0);
    // Gives the control the keyboard focus; run-time error 5 when it is hidden or disabled.
    void SetFocus();
    virtual void Refresh();

    // ---- Events ----
    Hook<void()> onClick;
    Hook<void()> onDblClick;
    Hook<void()> onChange;
    Hook<void()> onGotFocus;
    Hook<void()> onLostFocus;
    Hook<void(int Button, int Shift, float X, float Y)> onMouseDown;
    Hook<void(int Button, int Shift, float X, float Y)> onMouseUp;
    Hook<void(int Button, int Shift, float X, float Y)> onMouseMove;
    // Setting KeyCode / KeyAscii to 0 swallows the key.
    Hook<void(int& KeyCode, int Shift)> onKeyDown;
    Hook<void(int& KeyCode, int Shift)> onKeyUp;
    Hook<void(int& KeyAscii)> onKeyPress;

    // Raises an event as a user action would (tests and the runtime itself).
    virtual void raiseEvent(Event event);

protected:
    // Takes the widget (parented to the container's client widget) and pushes every property.
    void attachWidget(QWidget* widget);
    // Another widget whose mouse, key and focus events count as the control's (a viewport).
    void addEventSource(QWidget* source);
    // A property of the table changed: raises its event, if any.
    void changed(Property property, bool newValueIsTrue = true);

    virtual void pushGeometry();
    virtual void pushColors();
    // Paints widget's back role in BackColor and its text role in ForeColor (greyed when
    // disabled): the body of pushColors for a control's own widget.
    void pushColorsTo(QWidget* widget, QPalette::ColorRole back, QPalette::ColorRole text);
    // A new ForeColor alone (by default pushed as every colour).
    virtual void pushForeColor() { pushColors(); }
    virtual void pushFont();
    virtual void pushCaption() {}
    virtual void pushToolTip();
    virtual void pushEnabled();
    virtual void pushVisible();
    // The colours a kind of control starts with (before its widget is attached).
    void initColors(OleColor back, OleColor fore) {
        backColor_ = back;
        foreColor_ = fore;
    }
    // A geometry change the control makes itself (AutoSize, layout): model and widget.
    void setGeometryTwips(int left, int top, int width, int height);
    // Labels, images, picture boxes and frames click on a press and release of the left button;
    // the other controls click by their own means.
    virtual bool clicksOnMouseUp() const { return false; }
    // The control's area in its own pixels, where a release clicks: its widget's.
    virtual QRect ownRect() const { return widget_ ? widget_->rect() : QRect(); }
    // Mouse coordinates in the control's scale (twips unless the control has another scale).
    virtual QPointF toScale(QPointF pixels) const;
    QFont currentFont() const;
    // The mouse, key and focus events of the control's widgets, which run its handlers. True
    // when the event is used up.
    virtual bool filterEvent(QObject* watched, QEvent* event);
    // Runs filterEvent for Qt (dispatch): an event whose handler failed stops there.
    bool eventFilter(QObject* watched, QEvent* event) final;

private:
    friend class Form; // lays out aligned controls
    bool handleKey(QKeyEvent* event, bool press);

    // The properties that few controls set, made when one is: a form has thousands of
    // controls, most of them labels that never get a tag or a tooltip.
    struct Rare {
        QString tag;
        QString toolTip;
    };
    Rare& rare();

    // The fields by size, so that they pack without gaps.
    Container* parent_;
    QString name_;
    QPointer<QWidget> widget_;
    std::unique_ptr<Rare> rare_;
    QString caption_;
    QString fontName_;
    double fontSize_ = 0;
    ControlKind kind_;
    int index_;
    int left_ = 0, top_ = 0, width_ = 1215, height_ = 495;
    int align_ = 0;
    OleColor backColor_;
    OleColor foreColor_;

protected:
    bool pushing_ = false; // true while the control writes to its widget
    // Whether the caption last set differs from the one before (for pushCaption).
    bool captionChanged_ = true;

private:
    bool visible_ = true;
    bool enabled_ = true;
    bool fontBold_ = false, fontItalic_ = false, fontUnderline_ = false, fontStrikethru_ = false;
    bool pressedInside_ = false;
};

// A control array: elements under any indexes, with gaps (LblDay(7..48), LblStepTwo {0, 4}).
// Reading an index that has no element is run-time error 9.
template <class T> class ControlArray {
public:
    explicit ControlArray(QString name) : name_(std::move(name)) {}
    // Builds the elements at once (build(array) calls create), so that controls declared after
    // the array can be placed on its elements.
    template <class Build> ControlArray(QString name, Build build) : name_(std::move(name)) {
        build(*this);
    }
    // The elements go from the highest index down: an element may hold later ones (a picture
    // box the controls placed on it), which must go before their container.
    ~ControlArray() {
        while (!items_.empty())
            items_.pop_back();
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    T& operator()(int index) const {
        const auto it = find(index);
        if (it == items_.end() || it->first != index) throwSubscript();
        return *it->second;
    }
    bool exists(int index) const {
        const auto it = find(index);
        return it != items_.end() && it->first == index;
    }
    int Count() const { return int(items_.size()); }
    // Lowest and highest index; error 9 for an empty array.
    int LBound() const {
        if (items_.empty()) throwSubscript();
        return items_.front().first;
    }
    int UBound() const {
        if (items_.empty()) throwSubscript();
        return items_.back().first;
    }
    const QString& Name() const { return name_; }

    // Creates the element at index: T(args..., name, index). Run-time error 360 ("object
    // already loaded") when the index is taken.
    template <class... Args> T& create(int index, Args&&... args) {
        if (exists(index)) throwAlreadyLoaded();
        auto element = std::make_unique<T>(std::forward<Args>(args)..., name_, index);
        T& ref = *element;
        items_.emplace(find(index), index, std::move(element));
        return ref;
    }
    // Removes (unloads) the element at index; error 9 when there is none.
    void remove(int index) {
        if (!exists(index)) throwSubscript();
        items_.erase(find(index));
    }
    std::vector<int> indexes() const {
        std::vector<int> v;
        v.reserve(items_.size());
        for (const auto& [i, e] : items_)
            v.push_back(i);
        return v;
    }
    // Calls fn(index, element) for every element in index order.
    template <class Fn> void forEach(Fn fn) const {
        for (const auto& [i, e] : items_)
            fn(i, *e);
    }

private:
    using Items = std::vector<std::pair<int, std::unique_ptr<T>>>;
    // Where the element of index is, or would go: the elements are kept in index order, most
    // often without gaps, so that index usually names its place at once.
    typename Items::const_iterator find(int index) const {
        if (!items_.empty()) {
            const qint64 at = qint64(index) - items_.front().first;
            if (at >= 0 && at < qint64(items_.size()) && items_[size_t(at)].first == index)
                return items_.begin() + at;
        }
        return std::lower_bound(items_.begin(), items_.end(), index,
                                [](const auto& item, int i) { return item.first < i; });
    }

    [[noreturn]] static void throwSubscript();
    [[noreturn]] static void throwAlreadyLoaded();

    QString name_;
    // Elements in index order, each in an allocation of its own: adding or removing one moves
    // no element.
    Items items_;
};

[[noreturn]] void raiseSubscriptError();
[[noreturn]] void raiseAlreadyLoadedError();

template <class T> void ControlArray<T>::throwSubscript() {
    raiseSubscriptError();
}
template <class T> void ControlArray<T>::throwAlreadyLoaded() {
    raiseAlreadyLoadedError();
}

} // namespace rt
