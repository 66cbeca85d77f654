#pragma once
// Small procedures over the per-user registry, used for the ".cal" file association. Each one
// opens the key it needs, does its one operation and closes the key again. Failures are
// silent: a missing key or value, a refused write or a value of another type reach the caller
// of QueryValue only as an empty result.
//
// Values travel as variants: a QString for REG_SZ, a 32-bit integer for REG_DWORD, an invalid
// (empty) variant when nothing was read.

#include "core/registry.h"

#include <QString>
#include <QVariant>
#include <cstdint>

// Makes sure the key exists, creating it with every missing key above it.
void CreateNewKey(const QString& KeyName, int32_t Root);
// Deletes the key, with the keys below it.
void DeleteKey(const QString& KeyName, int32_t Root);
// Deletes one value of the key ("" the default value); the key stays.
void DeleteValue(const QString& KeyName, const QString& ValueName, int32_t Root);
// The value read, or an empty variant.
QVariant QueryValue(const QString& KeyName, const QString& ValueName, int32_t Root);
// Reads a value of an open key into Value. The result is the status of the last registry call,
// or -1 for a type other than REG_SZ and REG_DWORD (Value is then left as it was).
int32_t QueryValueEx(int32_t hKey, const QString& ValueName, QVariant& Value);
// Writes a value of REG_SZ or REG_DWORD into an existing key; the key is not created.
void SetKeyValue(const QString& KeyName, const QString& ValueName, const QVariant& Value,
                 int32_t ValueType, int32_t Root);
// Writes a REG_SZ (with its terminating zero) or a REG_DWORD value of an open key; the status
// of the write, or 0 when the type is neither and nothing was written.
int32_t SetValueEx(int32_t hKey, const QString& ValueName, int32_t ValueType,
                   const QVariant& Value);
