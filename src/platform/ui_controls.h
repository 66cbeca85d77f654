#pragma once
// The basic controls: labels, text boxes, command buttons, check boxes, option buttons, frames,
// image controls and scroll bars.

#include "core/picture.h"
#include "ui_control.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QCheckBox;
class QRadioButton;
class QGroupBox;
class QScrollBar;
class QFont;
class QPainter;

namespace rt {

class LabelLayer;

enum AlignmentValue : int { vbLeftJustify = 0, vbRightJustify = 1, vbCenter = 2 };
enum CheckValue : int { vbUnchecked = 0, vbChecked = 1, vbGrayed = 2 };

// A label: caption, alignment, back style (0 transparent, 1 opaque), border (0 none, 1 single
// line), word wrap and auto size. It clicks on a press and release of the left button.
class Label : public Control {
public:
    explicit Label(Container& parent, const QString& name = {}, int index = -1);
    ~Label() override;

    int Alignment() const { return alignment_; }
    void setAlignment(int alignment);
    int BackStyle() const { return backStyle_; }
    void setBackStyle(int style);
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);
    bool AutoSize() const { return autoSize_; }
    void setAutoSize(bool on);
    bool WordWrap() const { return wordWrap_; }
    void setWordWrap(bool on);
    bool UseMnemonic() const { return useMnemonic_; }
    void setUseMnemonic(bool on);

    void ZOrder(int position = 0) override;
    void Refresh() override;

    // A label has no widget: its container's widget draws it and gives it the mouse events
    // at its place (ui_label_layer.h). That widget, and the label's place on it in pixels.
    QWidget* host() const;
    QRect placeInHost() const;
    // What the label is drawn with: its font over the container's, and whether its text shows
    // enabled (it is, and so is its container).
    QFont shownFont() const;
    bool shownEnabled() const;
    // Paints the caption, back and border in rect (pixels of p's device).
    void paint(QPainter& p, const QRect& rect) const;
    // The caption as it reads: its lines, without the "&" that marks an access key (of "&&"
    // one stays) unless UseMnemonic is off.
    QString shownText() const;
    // Whether the label heads a column of a table of labels (ui_accessibility.h).
    bool tableHeader() const { return tableHeader_; }
    void setTableHeader(bool on) { tableHeader_ = on; }

protected:
    bool clicksOnMouseUp() const override { return true; }
    QRect ownRect() const override { return QRect(QPoint(0, 0), placeInHost().size()); }
    void pushGeometry() override;
    void pushVisible() override;
    void pushEnabled() override;
    void pushCaption() override;
    void pushColors() override;
    void pushFont() override;

private:
    void fitToCaption();
    // Tells assistive technology that the label changed, when something listens, and names
    // the fields again (the label may name one).
    void accessibleChange(int type);
    QPointer<LabelLayer> layer_;
    QRect drawnAt_; // the place last pushed, repainted when the label moves
    int alignment_ = vbLeftJustify;
    int backStyle_ = 1;
    int borderStyle_ = 0;
    bool autoSize_ = false;
    bool wordWrap_ = false;
    bool useMnemonic_ = true;
    bool tableHeader_ = false;
};

// A text box. Setting Text raises Change (nothing for the same text). MaxLength limits only
// what the user types: a text set by code is kept whole. A multi-line box keeps its lines
// separated by a carriage return and a line feed. A box made Cp1252Only takes no typed or
// pasted character that Windows-1252 cannot hold (a paste keeps the rest).
class TextBox : public Control {
public:
    explicit TextBox(Container& parent, const QString& name = {}, int index = -1);

    const QString& Text() const { return text_; }
    void setText(const QString& text);
    int MaxLength() const { return maxLength_; }
    void setMaxLength(int length);
    bool Cp1252Only() const { return cp1252Only_; }
    void setCp1252Only(bool on) { cp1252Only_ = on; }
    bool Locked() const { return locked_; }
    void setLocked(bool on);
    bool MultiLine() const { return multiLine_; }
    // Rebuilds the box as a multi-line or single-line one.
    void setMultiLine(bool on);
    const QString& PasswordChar() const { return passwordChar_; }
    void setPasswordChar(const QString& ch);
    int Alignment() const { return alignment_; }
    void setAlignment(int alignment);
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;

    // The user typed: the text the box shows becomes Text (used by the widget and by tests).
    void userEdited(const QString& text);

protected:
    void pushColors() override;

private:
    void build();
    void pushText();
    QString text_;
    int maxLength_ = 0;
    bool cp1252Only_ = false;
    bool locked_ = false;
    bool multiLine_ = false;
    QString passwordChar_;
    int alignment_ = vbLeftJustify;
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
};

// A command button. Style 1 (graphical) shows Picture, and DisabledPicture while disabled.
// Setting Value to true clicks it. Default answers Enter and Cancel answers Escape in its form.
class CommandButton : public Control {
public:
    explicit CommandButton(Container& parent, const QString& name = {}, int index = -1);

    bool Default() const { return default_; }
    void setDefault(bool on);
    bool Cancel() const { return cancel_; }
    void setCancel(bool on) { cancel_ = on; }
    int Style() const { return style_; }
    void setStyle(int style);
    const rt::Picture& Picture() const { return picture_; }
    void setPicture(const rt::Picture& picture);
    const rt::Picture& DisabledPicture() const { return disabledPicture_; }
    void setDisabledPicture(const rt::Picture& picture);
    bool Value() const { return false; }
    void setValue(bool value);

protected:
    void pushCaption() override;
    void pushToolTip() override;
    void pushColors() override;

private:
    void pushPictures();
    void nameByToolTip();
    bool default_ = false;
    bool cancel_ = false;
    int style_ = 0;
    rt::Picture picture_ = rt::Picture::empty();
    rt::Picture disabledPicture_ = rt::Picture::empty();
    QPushButton* button_;
};

// A check box: Value 0 unchecked, 1 checked, 2 grey (by code only: a user's click never makes
// it grey). Every change of Value raises Click.
class CheckBox : public Control {
public:
    explicit CheckBox(Container& parent, const QString& name = {}, int index = -1);

    int Value() const { return value_; }
    void setValue(int value);
    int Alignment() const { return alignment_; }
    void setAlignment(int alignment);
    // The user clicked the box.
    void userClicked();

protected:
    void pushCaption() override;
    void pushColors() override;

private:
    void pushValue();
    int value_ = vbUnchecked;
    int alignment_ = vbLeftJustify;
    QCheckBox* box_;
};

// An option button: setting Value to true clears the other option buttons of the same
// container and raises Click; setting it to false raises nothing. The option buttons of one
// container are one Tab stop (the form's tab order); the arrow keys move the focus and the
// choice to the next or previous button of the group, as a click on it does.
class OptionButton : public Control {
public:
    explicit OptionButton(Container& parent, const QString& name = {}, int index = -1);

    bool Value() const { return value_; }
    void setValue(bool value);

protected:
    void pushCaption() override;
    void pushColors() override;
    bool filterEvent(QObject* watched, QEvent* event) override;

private:
    void pushValue();
    bool value_ = false;
    QRadioButton* button_;
};

// A frame: a captioned container.
class Frame : public Control, public Container {
public:
    explicit Frame(Container& parent, const QString& name = {}, int index = -1);
    QWidget* clientWidget() const override;
    Form* form() const override { return Control::form(); }

protected:
    bool clicksOnMouseUp() const override { return true; }
    void pushCaption() override;

private:
    QGroupBox* box_;
};

// An image control: shows Picture at its own size (the control takes the picture's size) or,
// with Stretch, stretched over the control.
class Image : public Control {
public:
    explicit Image(Container& parent, const QString& name = {}, int index = -1);

    const rt::Picture& Picture() const { return picture_; }
    void setPicture(const rt::Picture& picture);
    bool Stretch() const { return stretch_; }
    void setStretch(bool on);
    int BorderStyle() const { return borderStyle_; }
    void setBorderStyle(int style);

protected:
    bool clicksOnMouseUp() const override { return true; }

private:
    rt::Picture picture_ = rt::Picture::empty();
    bool stretch_ = false;
    int borderStyle_ = 0;
};

// Horizontal and vertical scroll bars: Min, Max, Value (Change), SmallChange, LargeChange;
// Scroll while the user drags the thumb.
class ScrollBar : public Control {
public:
    ScrollBar(Qt::Orientation orientation, Container& parent, const QString& name, int index);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    int SmallChange() const { return small_; }
    int LargeChange() const { return large_; }
    void setMin(int v);
    void setMax(int v);
    void setValue(int v);
    void setSmallChange(int v);
    void setLargeChange(int v);

    std::function<void()> onScroll;

private:
    void pushRange();
    int min_ = 0, max_ = 32767, value_ = 0, small_ = 1, large_ = 1;
    QScrollBar* bar_;
};

class HScrollBar : public ScrollBar {
public:
    explicit HScrollBar(Container& parent, const QString& name = {}, int index = -1)
        : ScrollBar(Qt::Horizontal, parent, name, index) {}
};

class VScrollBar : public ScrollBar {
public:
    explicit VScrollBar(Container& parent, const QString& name = {}, int index = -1)
        : ScrollBar(Qt::Vertical, parent, name, index) {}
};

} // namespace rt
