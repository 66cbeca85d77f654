// Loads a module as the program does and prints "loaded <file>", or "missing <reason>" when it
// cannot. The module loader's tests copy it into scratch folders to see which folder wins.
//
// module_helper NAME ENTRY

#include "platform/module_loader.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s NAME ENTRY\n", argv[0]);
        return 2;
    }
    const rt::ModuleEntry module = rt::loadModule(args[1], args[2].toLatin1().constData());
    if (module.function)
        std::printf("loaded %s\n", qPrintable(module.file));
    else
        std::printf("missing %s\n", qPrintable(module.error));
    return 0;
}
