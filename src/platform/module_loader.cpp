#include "module_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QLoggingCategory>
#include <climits>
#include <memory>
#include <mutex>
#include <unistd.h>

namespace rt {

namespace {

Q_LOGGING_CATEGORY(lcModules, "mirovanta.modules", QtWarningMsg)

// Nothing calls QLibrary::unload(): a deleted QLibrary leaves its library loaded, and objects
// of the module may live to the end of the process.
struct Library {
    std::shared_ptr<QLibrary> library; // null when the module cannot be loaded
    QString file;
    QString error;
};

struct Loader {
    QStringList folders;                 // set by tests; empty: moduleFolders()
    QStringList added;                   // searched after the program's own (tests)
    QHash<QString, Library> libraries;   // by module name
    QHash<QString, ModuleEntry> entries; // by module name and entry
    std::mutex mutex;                    // the printer list loads its module in a worker
};

Loader& loader() {
    static Loader instance;
    return instance;
}

Library loadLibrary(const QString& name) {
    const QString fileName = moduleFileName(name);
    const QStringList folders = loader().folders.isEmpty() ? moduleFolders() : loader().folders;
    QStringList problems;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (!QFileInfo(path).isFile()) continue;
        auto library = std::make_shared<QLibrary>(path);
        if (library->load()) {
            qCInfo(lcModules, "%s loaded from %s", qPrintable(name), qPrintable(path));
            return {std::move(library), path, {}};
        }
        // A copy that does not load is reported even when a later folder holds a good one:
        // it is a broken installation all the same.
        problems << library->errorString();
        qCWarning(lcModules, "%s", qPrintable(problems.last()));
    }
    if (problems.isEmpty()) {
        problems << QStringLiteral("%1 not found in %2").arg(fileName, folders.join(u", "));
        qCWarning(lcModules, "%s", qPrintable(problems.last()));
    }
    return {nullptr, {}, problems.join(u"; ")};
}

} // namespace

QString moduleFileName(const QString& name) {
    return QStringLiteral("libmirovanta_") + name + QStringLiteral(".so");
}

QStringList moduleFolders() {
    // The kernel's own link to the running file: argv[0], and Qt's application path when the
    // file is gone (replaced by an upgrade), are whatever the caller passed. A file removed
    // since reads "<path> (deleted)", still in its folder.
    char target[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    QStringList folders;
    if (length > 0 && length < ssize_t(sizeof target) && target[0] == '/') {
        const QString program =
            QFileInfo(QFile::decodeName(QByteArray(target, qsizetype(length)))).absolutePath();
        folders << program << QDir::cleanPath(program + QStringLiteral("/../lib/mirovanta"));
    }
    folders << loader().added;
    folders.removeDuplicates();
    return folders;
}

void addModuleFolder(const QString& folder) {
    const std::lock_guard<std::mutex> lock(loader().mutex);
    loader().added << folder;
    loader().libraries.clear();
    loader().entries.clear();
}

ModuleEntry loadModule(const QString& name, const char* entry) {
    const std::lock_guard<std::mutex> lock(loader().mutex);
    const QString key = name + u'\n' + QLatin1String(entry);
    if (const auto known = loader().entries.constFind(key); known != loader().entries.cend())
        return *known;
    auto library = loader().libraries.constFind(name);
    if (library == loader().libraries.cend())
        library = loader().libraries.insert(name, loadLibrary(name));
    ModuleEntry result;
    if (!library->library) {
        result.error = library->error;
    } else {
        result.file = library->file;
        result.function = library->library->resolve(entry);
        if (!result.function) {
            result.error = QStringLiteral("%1 has no entry %2").arg(library->file, entry);
            qCWarning(lcModules, "%s", qPrintable(result.error));
        }
    }
    loader().entries.insert(key, result);
    return result;
}

void setModuleFolders(const QStringList& folders) {
    const std::lock_guard<std::mutex> lock(loader().mutex);
    loader().folders = folders;
    loader().libraries.clear();
    loader().entries.clear();
}

} // namespace rt
