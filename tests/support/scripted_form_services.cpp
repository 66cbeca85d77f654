#include "scripted_form_services.h"

#include "platform/ui_form.h"
#include "platform/ui_menu.h"

#include <QPointer>

namespace rt {

void ScriptedFormServices::showModal(Form& form) {
    modalForms << form.Name();
    QPointer<Form> guard(&form);
    form.beginModal(nullptr);
    if (!modalScripts.empty()) {
        auto script = std::move(modalScripts.front());
        modalScripts.pop_front();
        script(form);
    }
    if (guard && form.Loaded() && form.Visible()) {
        ++modalClosedByDefault;
        form.closeByUser();
        if (guard && form.Loaded() && form.Visible()) form.Hide();
    }
    if (guard) form.endModal();
}

void ScriptedFormServices::popupMenu(Form&, Menu& menu, QPoint) {
    PopupCall call{menu.Name(), {}, {}, -1};
    std::vector<Menu*> shown;
    for (Menu* e : menu.entries()) {
        if (!e->Visible()) continue;
        shown.push_back(e);
        call.captions << e->Caption();
        call.enabled.push_back(e->Enabled());
    }
    int choice = -2;
    if (onPopup) choice = onPopup(menu);
    if (choice == -2) {
        choice = -1;
        if (!menuChoices.empty()) {
            choice = menuChoices.front();
            menuChoices.pop_front();
        }
    }
    Menu* chosen = nullptr;
    if (choice >= 0 && choice < int(shown.size()) && shown[size_t(choice)]->Enabled() &&
        !shown[size_t(choice)]->isSeparator())
        chosen = shown[size_t(choice)];
    call.chosen = chosen ? choice : -1;
    popups.push_back(call);
    if (chosen) chosen->raiseEvent(Event::Click);
}

} // namespace rt
