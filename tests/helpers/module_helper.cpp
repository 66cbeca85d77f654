// Loads a module as the program does and prints "loaded <file>", or "missing <reason>" when it
// cannot. The module loader's tests copy it into scratch folders to see which folder wins.
// With --folders, it prints the folders searched, one a line, asked before the application
// object exists.
//
// module_helper NAME ENTRY
// module_helper --folders

#include "platform/module_loader.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--folders") == 0) {
        for (const QString& folder : rt::moduleFolders())
            std::printf("%s\n", qPrintable(folder));
        return 0;
    }
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
