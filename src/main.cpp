// Mirovanta: builds the application object and hands over to the start-up procedure.

#include "shell/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Mirovanta"));
    if (!Main()) return 0;
    return QApplication::exec();
}
