#pragma once
// Menus: a top-level menu of a form (mnuEdit) and its entries (mnuEditCmd(0..8)). An entry
// whose caption is "-" is a separator. Menus are popped up with Form::PopupMenu; choosing an
// entry raises its Click. Setting Enabled, Checked or Caption raises nothing.

#include "ui_control.h"

#include <vector>

namespace rt {

class Menu : public Control {
public:
    // A top-level menu of the form.
    explicit Menu(Form& form, const QString& name = {}, int index = -1);
    // An entry of a menu.
    explicit Menu(Menu& parent, const QString& name = {}, int index = -1);
    ~Menu() override;

    bool Checked() const { return checked_; }
    void setChecked(bool on) { checked_ = on; }
    bool isSeparator() const { return Caption() == QLatin1String("-"); }
    Menu* parentMenu() const { return parentMenu_; }
    const std::vector<Menu*>& entries() const { return entries_; }

private:
    Menu* parentMenu_ = nullptr;
    std::vector<Menu*> entries_;
    bool checked_ = false;
};

} // namespace rt
