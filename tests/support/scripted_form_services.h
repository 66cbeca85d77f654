#pragma once
// Scripted form services for tests. A modal form runs the next queued script while its caller
// waits inside Show (the script plays the user: it presses OK, types a text...). A pop-up menu
// takes the next queued choice. Every request is recorded.

#include "platform/form_services.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace rt {

class ScriptedFormServices : public FormServices {
public:
    struct PopupCall {
        QString menu;         // the menu's name
        QStringList captions; // the entries' captions ("-" for a separator)
        std::vector<bool> enabled;
        int chosen; // the position chosen, -1 for none
    };

    void showModal(Form& form) override;
    void popupMenu(Form& form, Menu& menu, QPoint globalPos) override;
    void endProgram() override { ++endCount; }

    // Scripts for the next modal forms, first to last. A form shown modally with no script left
    // is closed as with its close box (its QueryUnload decides); a form still shown when its
    // script ends is closed the same way.
    std::deque<std::function<void(Form&)>> modalScripts;
    // Choices for the next pop-up menus: the position of the entry among the menu's visible
    // entries (separators count), or -1 to close the menu without a choice. A disabled entry
    // cannot be chosen: the menu closes without a choice. No choice left: -1.
    std::deque<int> menuChoices;
    // Runs while a menu is open (the test looks at the window at that moment); its result, when
    // not -2, is the choice instead of the queue's.
    std::function<int(Menu&)> onPopup;

    QStringList modalForms;       // names of the forms shown modally
    int modalClosedByDefault = 0; // modal forms the service had to close itself
    std::vector<PopupCall> popups;
    int endCount = 0;
};

} // namespace rt
