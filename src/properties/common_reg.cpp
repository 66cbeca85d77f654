#include "common_reg.h"

#include "core/numeric.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>

namespace {

// Query value, set value, create subkey, enumerate subkeys, notify, create link.
constexpr int32_t kAccess = 0x3F;

} // namespace

void CreateNewKey(const QString& KeyName, int32_t Root) {
    rt::HKEY handle = 0;
    int32_t disposition = 0;
    rt::RegCreateKeyEx(Root, KeyName, 0, kAccess, &handle, &disposition);
    rt::RegCloseKey(handle);
}

void DeleteKey(const QString& KeyName, int32_t Root) {
    rt::RegDeleteKey(Root, KeyName);
}

void DeleteValue(const QString& KeyName, const QString& ValueName, int32_t Root) {
    rt::HKEY handle = 0;
    rt::RegOpenKeyEx(Root, KeyName, kAccess, &handle);
    rt::RegDeleteValue(handle, ValueName);
    rt::RegCloseKey(handle);
}

QVariant QueryValue(const QString& KeyName, const QString& ValueName, int32_t Root) {
    QVariant value;
    rt::HKEY handle = 0;
    rt::RegOpenKeyEx(Root, KeyName, kAccess, &handle);
    QueryValueEx(handle, ValueName, value);
    rt::RegCloseKey(handle);
    return value;
}

int32_t QueryValueEx(int32_t hKey, const QString& ValueName, QVariant& Value) {
    int32_t type = 0;
    int32_t size = 0;
    int32_t status = rt::RegQueryValueEx(hKey, ValueName, &type, nullptr, &size);
    if (status != rt::ERROR_SUCCESS) return status;

    if (type == rt::REG_SZ) {
        // The size counts the terminating zero, which is dropped; a size of 0 leaves no text to
        // take and the value as it was.
        QByteArray buffer(std::max(size, 0), '\0');
        status = rt::RegQueryValueEx(hKey, ValueName, &type, buffer.data(), &size);
        if (status != rt::ERROR_SUCCESS)
            Value = QVariant();
        else if (size >= 1)
            Value = QString::fromUtf8(buffer.left(size - 1));
        return status;
    }
    if (type == rt::REG_DWORD) {
        // Room for what the probe reported, and at least the four bytes of the number.
        QByteArray buffer(std::max(size, 4), '\0');
        status = rt::RegQueryValueEx(hKey, ValueName, &type, buffer.data(), &size);
        if (status == rt::ERROR_SUCCESS) {
            uint32_t n = 0;
            for (int i = 3; i >= 0; --i)
                n = (n << 8) | uint8_t(buffer[i]);
            Value = QVariant::fromValue(int32_t(n));
        } else {
            Value = QVariant::fromValue(int16_t(0));
        }
        return status;
    }
    return -1;
}

void SetKeyValue(const QString& KeyName, const QString& ValueName, const QVariant& Value,
                 int32_t ValueType, int32_t Root) {
    rt::HKEY handle = 0;
    rt::RegOpenKeyEx(Root, KeyName, kAccess, &handle);
    SetValueEx(handle, ValueName, ValueType, Value);
    rt::RegCloseKey(handle);
}

int32_t SetValueEx(int32_t hKey, const QString& ValueName, int32_t ValueType,
                   const QVariant& Value) {
    if (ValueType == rt::REG_SZ) {
        QByteArray text = Value.toString().toUtf8();
        text.append('\0');
        return rt::RegSetValueEx(hKey, ValueName, rt::REG_SZ, text.constData(),
                                 int32_t(text.size()));
    }
    if (ValueType == rt::REG_DWORD) {
        const uint32_t n = uint32_t(rt::CLng(Value.toDouble()));
        char bytes[4];
        for (int i = 0; i < 4; ++i)
            bytes[i] = char((n >> (8 * i)) & 0xFF);
        return rt::RegSetValueEx(hKey, ValueName, rt::REG_DWORD, bytes, 4);
    }
    return 0;
}
