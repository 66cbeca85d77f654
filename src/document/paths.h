#pragma once
// Small path helpers shared by the whole program.

#include <QString>

// The path with the folder separator appended unless it already ends with one; an empty path
// gives the separator alone (the root).
QString AddBackslash(const QString& Path);
