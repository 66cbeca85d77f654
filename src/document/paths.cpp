#include "paths.h"

QString AddBackslash(const QString& Path) {
    if (Path.endsWith(u'/')) return Path;
    return Path + u'/';
}
