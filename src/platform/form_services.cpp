#include "form_services.h"

#include "ui_form.h"
#include "ui_menu.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMenu>
#include <QPointer>
#include <map>

namespace rt {

namespace {
std::shared_ptr<FormServices>& current() {
    static std::shared_ptr<FormServices> instance = std::make_shared<QtFormServices>();
    return instance;
}

void buildMenu(QMenu* qmenu, Menu& menu, std::map<QAction*, QPointer<Menu>>& actions) {
    for (Menu* entry : menu.entries()) {
        if (!entry->Visible()) continue;
        if (entry->isSeparator()) {
            qmenu->addSeparator();
        } else if (!entry->entries().empty()) {
            QMenu* sub = qmenu->addMenu(entry->Caption());
            sub->setEnabled(entry->Enabled());
            buildMenu(sub, *entry, actions);
        } else {
            QAction* a = qmenu->addAction(entry->Caption());
            a->setEnabled(entry->Enabled());
            a->setCheckable(entry->Checked());
            a->setChecked(entry->Checked());
            actions[a] = entry;
        }
    }
}
} // namespace

FormServices& formServices() {
    return *current();
}

std::shared_ptr<FormServices> setFormServices(std::shared_ptr<FormServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : std::make_shared<QtFormServices>();
    return previous;
}

void End() {
    formServices().endProgram();
}

void QtFormServices::showModal(Form& form) {
    QEventLoop loop;
    QPointer<Form> guard(&form);
    form.beginModal(&loop);
    if (guard && form.Loaded() && form.Visible()) loop.exec(QEventLoop::DialogExec);
    if (guard) form.endModal();
}

void QtFormServices::popupMenu(Form& form, Menu& menu, QPoint globalPos) {
    QMenu qmenu(form.window());
    std::map<QAction*, QPointer<Menu>> actions;
    buildMenu(&qmenu, menu, actions);
    QAction* chosen = nullptr;
    QObject::connect(&qmenu, &QMenu::triggered, &qmenu, [&chosen](QAction* a) { chosen = a; });
    QAction* execResult = qmenu.exec(globalPos);
    if (!chosen) chosen = execResult;
    if (!chosen) return;
    auto it = actions.find(chosen);
    if (it != actions.end() && it->second) it->second->raiseEvent(Event::Click);
}

void QtFormServices::endProgram() {
    QCoreApplication::exit(0);
}

} // namespace rt
