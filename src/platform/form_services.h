#pragma once
// The runtime's services around forms: showing a form modally (a nested event loop), popping a
// menu up, and ending the program. One replaceable instance: the program uses the Qt one,
// tests a scripted one (tests/support/scripted_form_services.h).

#include <QPoint>
#include <memory>

namespace rt {

class Form;
class Menu;

class FormServices {
public:
    virtual ~FormServices() = default;
    // Shows the loaded form modally and returns when it is hidden or unloaded.
    virtual void showModal(Form& form) = 0;
    // Pops the menu up at a point of the screen and returns after the chosen entry's Click
    // handler ran (or at once when nothing was chosen). The menu opens even when every entry
    // is disabled.
    virtual void popupMenu(Form& form, Menu& menu, QPoint globalPos) = 0;
    // Ends the program.
    virtual void endProgram() = 0;
};

FormServices& formServices();
// Installs new services; returns the previous ones. nullptr restores the Qt services.
std::shared_ptr<FormServices> setFormServices(std::shared_ptr<FormServices> services);

// Ends the program (the original's End statement).
void End();

class QtFormServices : public FormServices {
public:
    void showModal(Form& form) override;
    void popupMenu(Form& form, Menu& menu, QPoint globalPos) override;
    void endProgram() override;
};

} // namespace rt
