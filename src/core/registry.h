#pragma once
// A per-user registry: a tree of keys under a few predefined roots, each key holding named
// values, each value a type and raw bytes. The calls follow the classic registry functions:
// open or create a key to get a handle, read or write its values through the handle, close it.
// Every call returns a status, 0 on success.
//
// Key names are paths with "\" between their parts ("Type\shell\open\command"); key and value
// names compare without regard to letter case and keep the case they were created with. The
// empty value name is the key's default value. Texts travel as UTF-8 bytes, the system's code
// page here. The store lives in one file of the user's configuration folder (beside the
// settings store) and is read and written by each call, so nothing is kept between calls but
// the open handles.

#include <QString>
#include <cstdint>

namespace rt {

using HKEY = int32_t;

// The predefined roots (also valid handles).
inline constexpr HKEY HKEY_CLASSES_ROOT = HKEY(0x80000000u);
inline constexpr HKEY HKEY_CURRENT_USER = HKEY(0x80000001u);
inline constexpr HKEY HKEY_LOCAL_MACHINE = HKEY(0x80000002u);
inline constexpr HKEY HKEY_USERS = HKEY(0x80000003u);

enum RegValueType : int32_t {
    REG_NONE = 0,
    REG_SZ = 1, // a text followed by its terminating zero
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4, // a 32-bit integer, low byte first
};

enum RegStatus : int32_t {
    ERROR_SUCCESS = 0,
    ERROR_FILE_NOT_FOUND = 2, // no such key or value
    ERROR_ACCESS_DENIED = 5,  // the handle lacks the right, or a root cannot be deleted
    ERROR_INVALID_HANDLE = 6,
    ERROR_INVALID_PARAMETER = 87,
    ERROR_MORE_DATA = 234,   // the buffer is too small; the size needed is returned
    ERROR_CANTWRITE = 1013,  // the store could not be written
    ERROR_KEY_DELETED = 1018 // the key of an open handle was deleted meanwhile
};

// Access rights of a handle.
enum RegAccess : int32_t {
    KEY_QUERY_VALUE = 0x1,
    KEY_SET_VALUE = 0x2,
    KEY_CREATE_SUB_KEY = 0x4,
    KEY_ENUMERATE_SUB_KEYS = 0x8,
    KEY_NOTIFY = 0x10,
    KEY_CREATE_LINK = 0x20,
    KEY_ALL_ACCESS = 0xF003F,
};

enum RegDisposition : int32_t { REG_CREATED_NEW_KEY = 1, REG_OPENED_EXISTING_KEY = 2 };

// Creates SubKey under Key with every missing key between them, or opens it when it exists.
// Result receives the new handle (left unchanged on failure); Disposition, when given, whether
// the key was created or opened. Options are kept for the callers; every key is lasting.
int32_t RegCreateKeyEx(HKEY Key, const QString& SubKey, int32_t Options, int32_t Access,
                       HKEY* Result, int32_t* Disposition = nullptr);
// Opens SubKey under Key ("" opens Key itself again); fails with ERROR_FILE_NOT_FOUND when it
// does not exist, and Result is left unchanged.
int32_t RegOpenKeyEx(HKEY Key, const QString& SubKey, int32_t Access, HKEY* Result);
// Reads a value. Type receives its type. Without Data only the size in bytes is returned in
// Size; with Data, Size holds the buffer's size on entry: a buffer too small gives
// ERROR_MORE_DATA and the size needed, otherwise the bytes are copied and Size is their count.
int32_t RegQueryValueEx(HKEY Key, const QString& ValueName, int32_t* Type, char* Data,
                        int32_t* Size);
// Writes a value of any type from Size raw bytes (replacing a value of the same name).
int32_t RegSetValueEx(HKEY Key, const QString& ValueName, int32_t Type, const char* Data,
                      int32_t Size);
// Deletes SubKey of Key with all the keys below it.
int32_t RegDeleteKey(HKEY Key, const QString& SubKey);
// Deletes one value of the key ("" the default value); the key stays.
int32_t RegDeleteValue(HKEY Key, const QString& ValueName);
// Closes a handle; closing a root does nothing.
int32_t RegCloseKey(HKEY Key);

// The file of the store: "registry.json" in the application's folder of the settings store's
// folder, unless a file is set (an empty name restores that place).
QString registryFile();
void setRegistryFile(const QString& fileName);

} // namespace rt
