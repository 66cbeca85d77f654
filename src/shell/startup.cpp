#include "startup.h"

#include <QMainWindow>

bool Main() {
    auto* window = new QMainWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("Mirovanta"));
    window->resize(800, 600);
    window->show();
    return true;
}
