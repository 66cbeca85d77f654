#include "ui_menu.h"

#include "ui_form.h"

#include <algorithm>

namespace rt {

Menu::Menu(Form& form, const QString& name, int index)
    : Control(ControlKind::Menu, form, name, index) {}

Menu::Menu(Menu& parent, const QString& name, int index)
    : Control(ControlKind::Menu, *parent.form(), name, index), parentMenu_(&parent) {
    parent.entries_.push_back(this);
}

Menu::~Menu() {
    if (parentMenu_) {
        auto& v = parentMenu_->entries_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    for (Menu* e : entries_)
        e->parentMenu_ = nullptr;
}

} // namespace rt
