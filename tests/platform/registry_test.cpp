// The per-user registry: keys and handles, typed raw values, the store file.

#include "core/registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace rt;

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { setRegistryFile(dir_.filePath(QStringLiteral("r/registry.json"))); }
    void TearDown() override { setRegistryFile(QString()); }

    static HKEY create(const QString& name, HKEY root = HKEY_CLASSES_ROOT,
                       int32_t* disposition = nullptr) {
        HKEY h = 0;
        EXPECT_EQ(RegCreateKeyEx(root, name, 0, KEY_ALL_ACCESS, &h, disposition), ERROR_SUCCESS);
        return h;
    }
    static void setText(HKEY h, const QString& name, const QByteArray& bytes) {
        EXPECT_EQ(RegSetValueEx(h, name, REG_SZ, bytes.constData(), int32_t(bytes.size())),
                  ERROR_SUCCESS);
    }
    static QByteArray read(HKEY h, const QString& name, int32_t* type = nullptr) {
        int32_t size = 0;
        if (RegQueryValueEx(h, name, type, nullptr, &size) != ERROR_SUCCESS) return "<none>";
        QByteArray data(size, '\0');
        EXPECT_EQ(RegQueryValueEx(h, name, type, data.data(), &size), ERROR_SUCCESS);
        return data;
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(Registry, CreatingMakesEveryMissingKeyAndOpensAnExistingOne) {
    int32_t disposition = 0;
    HKEY h = create(QStringLiteral("Type\\shell\\open\\command"), HKEY_CLASSES_ROOT, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    setText(h, QString(), QByteArray("\"/opt/p\" %1", 12));
    RegCloseKey(h);

    // Names compare without regard to letter case; the value stays.
    h = create(QStringLiteral("TYPE\\Shell"), HKEY_CLASSES_ROOT, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    HKEY command = 0;
    ASSERT_EQ(RegOpenKeyEx(h, QStringLiteral("OPEN\\Command"), KEY_QUERY_VALUE, &command),
              ERROR_SUCCESS);
    int32_t type = 0;
    EXPECT_EQ(read(command, QString(), &type), QByteArray("\"/opt/p\" %1", 12));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(RegCloseKey(command), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(command), ERROR_INVALID_HANDLE);

    // The other roots are trees of their own.
    HKEY missing = 77;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, QStringLiteral("Type"), KEY_QUERY_VALUE, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, 77); // unchanged on failure
}

TEST_F(Registry, ReadingGivesTheSizeFirstAndRefusesASmallBuffer) {
    HKEY h = create(QStringLiteral(".ext"));
    const uint8_t dword[4] = {0x78, 0x56, 0x34, 0x12};
    ASSERT_EQ(
        RegSetValueEx(h, QStringLiteral("N"), REG_DWORD, reinterpret_cast<const char*>(dword), 4),
        ERROR_SUCCESS);
    int32_t type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("n"), &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(size, 4);
    char small[2];
    size = 2;
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("N"), &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4);
    EXPECT_EQ(RegQueryValueEx(h, QStringLiteral("absent"), &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);

    // A handle without the right to write is refused.
    HKEY readOnly = 0;
    RegOpenKeyEx(HKEY_CLASSES_ROOT, QStringLiteral(".ext"), KEY_QUERY_VALUE, &readOnly);
    EXPECT_EQ(RegSetValueEx(readOnly, QStringLiteral("N"), REG_DWORD, small, 0),
              ERROR_ACCESS_DENIED);
}

TEST_F(Registry, DeletingAKeyTakesItsSubkeysAndLeavesHandlesDead) {
    HKEY command = create(QStringLiteral("Type\\shell\\open\\command"));
    HKEY type = create(QStringLiteral("Type"));
    setText(type, QString(), QByteArray("Doc", 4));
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, QStringLiteral("type")), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, QStringLiteral("type")), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegSetValueEx(command, QString(), REG_SZ, "x", 2), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKey(HKEY_CLASSES_ROOT, QString()), ERROR_ACCESS_DENIED); // a root stays

    HKEY ext = create(QStringLiteral(".ext"));
    setText(ext, QString(), QByteArray("Type", 5));
    setText(ext, QStringLiteral("Other"), QByteArray("o", 2));
    EXPECT_EQ(RegDeleteValue(ext, QString()), ERROR_SUCCESS);
    EXPECT_EQ(read(ext, QString()), QByteArray("<none>"));
    EXPECT_EQ(read(ext, QStringLiteral("other")), QByteArray("o", 2));
}

TEST_F(Registry, TheStoreLivesInItsFileAndADamagedFileIsPutAside) {
    HKEY h = create(QStringLiteral("Kept"));
    setText(h, QStringLiteral("é"), QByteArray("\xC3\xA9t\xC3\xA9", 6));
    const QString file = registryFile();
    ASSERT_TRUE(QFile::exists(file));

    // Another file: another store; back to the first: the value is there.
    setRegistryFile(dir_.filePath(QStringLiteral("other.json")));
    HKEY none = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, QStringLiteral("Kept"), KEY_QUERY_VALUE, &none),
              ERROR_FILE_NOT_FOUND);
    setRegistryFile(file);
    EXPECT_EQ(read(h, QStringLiteral("É")), QByteArray("\xC3\xA9t\xC3\xA9", 6));

    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("{ not a store");
    damaged.close();
    EXPECT_EQ(RegOpenKeyEx(HKEY_CLASSES_ROOT, QStringLiteral("Kept"), KEY_QUERY_VALUE, &none),
              ERROR_FILE_NOT_FOUND);
    create(QStringLiteral("New"));
    QFile aside(file + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), QByteArray("{ not a store"));
}
