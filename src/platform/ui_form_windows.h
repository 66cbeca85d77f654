#pragma once
// The Qt windows behind a form (internal to the runtime): the form's client widget and, for an
// MDI child, the sub-window that frames it. Both hand every window event to the form.

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>

namespace rt {

class Form;

class FormWindow : public QWidget {
public:
    FormWindow(Form* form, bool topLevel);
    Form* form() const { return form_; }
    void detach() { form_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    // Nothing a form's window draws shows whether it has the focus: taking or losing it
    // repaints nothing (QWidget would repaint the whole window, a month's grid with its
    // thousands of labels, when a click on a button takes the focus from it).
    void focusInEvent(QFocusEvent*) override {}
    void focusOutEvent(QFocusEvent*) override {}

private:
    // The form's own key events (KeyDown, KeyPress, KeyUp; its default and cancel buttons):
    // true when the key was used.
    bool formKey(QKeyEvent* event, bool press);
    bool overChild(const QMouseEvent* event) const;

    Form* form_;
    bool topLevel_;
    bool pressed_ = false;
};

class MdiChildWindow : public QMdiSubWindow {
public:
    explicit MdiChildWindow(Form* form);
    Form* form() const { return form_; }
    void detach() { form_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Form* form_;
};

} // namespace rt
