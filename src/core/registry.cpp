#include "registry.h"

#include "settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace rt {

namespace {

struct Value {
    QString name;
    int32_t type = REG_NONE;
    QByteArray data;
};

struct KeyNode {
    QString name;
    std::vector<Value> values;
    std::vector<KeyNode> keys;
};

// The store: one tree per root.
using Store = std::map<uint32_t, KeyNode>;

struct Handle {
    uint32_t root = 0;
    QStringList path;
    int32_t access = 0;
};

std::map<HKEY, Handle>& openHandles() {
    static std::map<HKEY, Handle> handles;
    return handles;
}

QString& fileOverride() {
    static QString file;
    return file;
}

bool isRoot(HKEY key) {
    const uint32_t u = uint32_t(key);
    return u >= uint32_t(HKEY_CLASSES_ROOT) && u <= uint32_t(HKEY_USERS);
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList splitKey(const QString& name) {
    return name.split(u'\\', Qt::SkipEmptyParts);
}

// ---- The file ----

QJsonObject toJson(const KeyNode& key) {
    QJsonArray values;
    for (const Value& v : key.values)
        values.append(
            QJsonObject{{QStringLiteral("name"), v.name},
                        {QStringLiteral("type"), v.type},
                        {QStringLiteral("data"), QString::fromLatin1(v.data.toBase64())}});
    QJsonArray keys;
    for (const KeyNode& k : key.keys)
        keys.append(toJson(k));
    return QJsonObject{{QStringLiteral("name"), key.name},
                       {QStringLiteral("values"), values},
                       {QStringLiteral("keys"), keys}};
}

KeyNode fromJson(const QJsonObject& o) {
    KeyNode key;
    key.name = o.value(QStringLiteral("name")).toString();
    for (const QJsonValue& jv : o.value(QStringLiteral("values")).toArray()) {
        const QJsonObject vo = jv.toObject();
        key.values.push_back(
            {vo.value(QStringLiteral("name")).toString(), vo.value(QStringLiteral("type")).toInt(),
             QByteArray::fromBase64(vo.value(QStringLiteral("data")).toString().toLatin1())});
    }
    for (const QJsonValue& jk : o.value(QStringLiteral("keys")).toArray())
        key.keys.push_back(fromJson(jk.toObject()));
    return key;
}

// The store as the file holds it. A file that exists but cannot be read as a store reads as
// empty, with damaged set: it is put aside before the next write, never overwritten.
Store readStore(bool* damaged) {
    Store store;
    *damaged = false;
    QFile f(registryFile());
    if (!f.exists()) return store;
    if (!f.open(QIODevice::ReadOnly)) {
        *damaged = true;
        return store;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        *damaged = true;
        return store;
    }
    for (const QJsonValue& jr : doc.object().value(QStringLiteral("roots")).toArray()) {
        const QJsonObject ro = jr.toObject();
        bool ok = false;
        const uint32_t root = ro.value(QStringLiteral("root")).toString().toUInt(&ok, 16);
        if (ok) store[root] = fromJson(ro.value(QStringLiteral("key")).toObject());
    }
    return store;
}

bool writeStore(const Store& store, bool damaged) {
    const QString path = registryFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (damaged) {
        QFile::remove(path + QStringLiteral(".damaged"));
        QFile::rename(path, path + QStringLiteral(".damaged"));
    }
    QJsonArray roots;
    for (const auto& [root, key] : store)
        roots.append(QJsonObject{{QStringLiteral("root"), QString::number(root, 16)},
                                 {QStringLiteral("key"), toJson(key)}});
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(QJsonDocument(QJsonObject{{QStringLiteral("roots"), roots}}).toJson());
    return f.commit();
}

// ---- The tree ----

KeyNode* child(KeyNode& key, const QString& name) {
    for (KeyNode& k : key.keys)
        if (same(k.name, name)) return &k;
    return nullptr;
}

KeyNode* find(Store& store, uint32_t root, const QStringList& path) {
    KeyNode* key = &store[root];
    for (const QString& part : path) {
        key = child(*key, part);
        if (!key) return nullptr;
    }
    return key;
}

Value* findValue(KeyNode& key, const QString& name) {
    for (Value& v : key.values)
        if (same(v.name, name)) return &v;
    return nullptr;
}

// The root and path a handle stands for, and its rights; false for an unknown handle.
bool resolve(HKEY key, Handle* out) {
    if (isRoot(key)) {
        *out = Handle{uint32_t(key), {}, KEY_ALL_ACCESS};
        return true;
    }
    const auto it = openHandles().find(key);
    if (it == openHandles().end()) return false;
    *out = it->second;
    return true;
}

HKEY newHandle(const Handle& h) {
    static HKEY next = 0;
    do {
        next = next >= 0x7FFFFFFF ? 1 : next + 1;
    } while (openHandles().count(next));
    openHandles()[next] = h;
    return next;
}

} // namespace

QString registryFile() {
    if (!fileOverride().isEmpty()) return fileOverride();
    QString app = QCoreApplication::applicationName();
    if (app.isEmpty()) app = QStringLiteral("registry");
    return settingsFolder() + u'/' + app + QStringLiteral("/registry.json");
}

void setRegistryFile(const QString& fileName) {
    fileOverride() = fileName;
}

int32_t RegCreateKeyEx(HKEY Key, const QString& SubKey, int32_t, int32_t Access, HKEY* Result,
                       int32_t* Disposition) {
    Handle base;
    if (!resolve(Key, &base)) return ERROR_INVALID_HANDLE;
    if (!(base.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    bool damaged = false;
    Store store = readStore(&damaged);
    KeyNode* key = find(store, base.root, base.path);
    if (!key) return ERROR_KEY_DELETED;
    bool created = false;
    for (const QString& part : splitKey(SubKey)) {
        KeyNode* next = child(*key, part);
        if (!next) {
            key->keys.push_back(KeyNode{part, {}, {}});
            next = &key->keys.back();
            created = true;
        }
        key = next;
    }
    if (created && !writeStore(store, damaged)) return ERROR_CANTWRITE;
    if (Result) *Result = newHandle(Handle{base.root, base.path + splitKey(SubKey), Access});
    if (Disposition) *Disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

int32_t RegOpenKeyEx(HKEY Key, const QString& SubKey, int32_t Access, HKEY* Result) {
    Handle base;
    if (!resolve(Key, &base)) return ERROR_INVALID_HANDLE;
    bool damaged = false;
    Store store = readStore(&damaged);
    if (!find(store, base.root, base.path)) return ERROR_KEY_DELETED;
    const QStringList path = base.path + splitKey(SubKey);
    if (!find(store, base.root, path)) return ERROR_FILE_NOT_FOUND;
    if (Result) *Result = newHandle(Handle{base.root, path, Access});
    return ERROR_SUCCESS;
}

int32_t RegQueryValueEx(HKEY Key, const QString& ValueName, int32_t* Type, char* Data,
                        int32_t* Size) {
    Handle h;
    if (!resolve(Key, &h)) return ERROR_INVALID_HANDLE;
    if (!(h.access & KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
    if (Data && !Size) return ERROR_INVALID_PARAMETER;
    bool damaged = false;
    Store store = readStore(&damaged);
    KeyNode* key = find(store, h.root, h.path);
    if (!key) return ERROR_KEY_DELETED;
    const Value* v = findValue(*key, ValueName);
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (Type) *Type = v->type;
    const int32_t needed = int32_t(v->data.size());
    if (Data) {
        if (*Size < needed) {
            *Size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(Data, v->data.constData(), size_t(needed));
    }
    if (Size) *Size = needed;
    return ERROR_SUCCESS;
}

int32_t RegSetValueEx(HKEY Key, const QString& ValueName, int32_t Type, const char* Data,
                      int32_t Size) {
    Handle h;
    if (!resolve(Key, &h)) return ERROR_INVALID_HANDLE;
    if (!(h.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    if (Size < 0 || (Size > 0 && !Data)) return ERROR_INVALID_PARAMETER;
    bool damaged = false;
    Store store = readStore(&damaged);
    KeyNode* key = find(store, h.root, h.path);
    if (!key) return ERROR_KEY_DELETED;
    const QByteArray bytes(Data, Size);
    if (Value* v = findValue(*key, ValueName)) {
        v->type = Type;
        v->data = bytes;
    } else {
        key->values.push_back(Value{ValueName, Type, bytes});
    }
    return writeStore(store, damaged) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

int32_t RegDeleteKey(HKEY Key, const QString& SubKey) {
    Handle base;
    if (!resolve(Key, &base)) return ERROR_INVALID_HANDLE;
    const QStringList path = base.path + splitKey(SubKey);
    if (path.isEmpty()) return ERROR_ACCESS_DENIED; // a root stays
    bool damaged = false;
    Store store = readStore(&damaged);
    KeyNode* parent = find(store, base.root, path.mid(0, path.size() - 1));
    if (!parent) return ERROR_FILE_NOT_FOUND;
    const auto it = std::find_if(parent->keys.begin(), parent->keys.end(),
                                 [&](const KeyNode& k) { return same(k.name, path.last()); });
    if (it == parent->keys.end()) return ERROR_FILE_NOT_FOUND;
    parent->keys.erase(it);
    return writeStore(store, damaged) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

int32_t RegDeleteValue(HKEY Key, const QString& ValueName) {
    Handle h;
    if (!resolve(Key, &h)) return ERROR_INVALID_HANDLE;
    if (!(h.access & KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
    bool damaged = false;
    Store store = readStore(&damaged);
    KeyNode* key = find(store, h.root, h.path);
    if (!key) return ERROR_KEY_DELETED;
    const auto it = std::find_if(key->values.begin(), key->values.end(),
                                 [&](const Value& v) { return same(v.name, ValueName); });
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    key->values.erase(it);
    return writeStore(store, damaged) ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

int32_t RegCloseKey(HKEY Key) {
    if (isRoot(Key)) return ERROR_SUCCESS;
    return openHandles().erase(Key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

} // namespace rt
