#pragma once
// The runtime's interactive services on Qt's widgets: QMessageBox, QInputDialog, the event loop
// and the override cursor.

#include "core/ui_services.h"

namespace rt {

class QtUiServices : public UiServices {
public:
    int msgBox(const QString& prompt, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    void doEvents(bool excludeUserInput) override;
    void setHourglass(bool on) override;
    bool hourglass() const override { return hourglass_; }

private:
    bool hourglass_ = false;
};

} // namespace rt
