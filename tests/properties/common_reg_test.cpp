// The registry procedures as the options dialog uses them: texts and numbers read back, empty
// results for whatever is missing, silent failures.

#include "properties/common_reg.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const int32_t HKCR = rt::HKEY_CLASSES_ROOT;

class CommonReg : public ::testing::Test {
protected:
    void SetUp() override { rt::setRegistryFile(dir_.filePath(QStringLiteral("registry.json"))); }
    void TearDown() override { rt::setRegistryFile(QString()); }

    // Writes raw bytes as another program could.
    static void writeRaw(const QString& key, int32_t type, const QByteArray& bytes) {
        rt::HKEY h = 0;
        rt::RegCreateKeyEx(HKCR, key, 0, rt::KEY_ALL_ACCESS, &h);
        rt::RegSetValueEx(h, QString(), type, bytes.constData(), int32_t(bytes.size()));
        rt::RegCloseKey(h);
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(CommonReg, TextsAndNumbersReadBackAsWritten) {
    CreateNewKey(QStringLiteral("Mirovanta\\shell\\open\\command"), HKCR);
    const QString command = QStringLiteral("\"/home/éa/bin/mirovanta\" %1");
    SetKeyValue(QStringLiteral("Mirovanta\\shell\\open\\command"), QString(), command, rt::REG_SZ,
                HKCR);
    EXPECT_EQ(QueryValue(QStringLiteral("mirovanta\\SHELL\\open\\command"), QString(), HKCR),
              QVariant(command));

    CreateNewKey(QStringLiteral("Numbers"), HKCR);
    SetKeyValue(QStringLiteral("Numbers"), QStringLiteral("N"), -123456, rt::REG_DWORD, HKCR);
    const QVariant n = QueryValue(QStringLiteral("Numbers"), QStringLiteral("N"), HKCR);
    EXPECT_EQ(n.metaType(), QMetaType::fromType<int32_t>()); // a number, not a text
    EXPECT_EQ(n.toInt(), -123456);

    // Creating an existing key leaves its values.
    CreateNewKey(QStringLiteral("Mirovanta\\shell"), HKCR);
    EXPECT_EQ(QueryValue(QStringLiteral("Mirovanta\\shell\\open\\command"), QString(), HKCR),
              QVariant(command));
}

TEST_F(CommonReg, WhatIsMissingOrOfAnotherTypeReadsEmpty) {
    EXPECT_FALSE(QueryValue(QStringLiteral(".cal"), QString(), HKCR).isValid());
    CreateNewKey(QStringLiteral(".cal"), HKCR);
    EXPECT_FALSE(QueryValue(QStringLiteral(".cal"), QString(), HKCR).isValid());
    EXPECT_FALSE(QueryValue(QStringLiteral(".cal"), QStringLiteral("Absent"), HKCR).isValid());

    writeRaw(QStringLiteral("Binary"), rt::REG_BINARY, QByteArray("abc", 3));
    EXPECT_FALSE(QueryValue(QStringLiteral("Binary"), QString(), HKCR).isValid());
    // A text of no bytes at all leaves nothing to take.
    writeRaw(QStringLiteral("Nothing"), rt::REG_SZ, QByteArray());
    EXPECT_FALSE(QueryValue(QStringLiteral("Nothing"), QString(), HKCR).isValid());
    // A text stored without its terminating zero reads one character short.
    writeRaw(QStringLiteral("Foreign"), rt::REG_SZ, QByteArray("Mirovanta"));
    EXPECT_EQ(QueryValue(QStringLiteral("Foreign"), QString(), HKCR), QVariant("Mirovant"));

    // Writing into a key never created writes nothing, and says nothing.
    SetKeyValue(QStringLiteral("Never"), QString(), QStringLiteral("x"), rt::REG_SZ, HKCR);
    EXPECT_FALSE(QueryValue(QStringLiteral("Never"), QString(), HKCR).isValid());
}

TEST_F(CommonReg, OnlyTextsAndNumbersAreWrittenAndDeletingTheDefaultValueKeepsTheKey) {
    CreateNewKey(QStringLiteral(".cal"), HKCR);
    rt::HKEY h = 0;
    rt::RegOpenKeyEx(HKCR, QStringLiteral(".cal"), 0x3F, &h);
    EXPECT_EQ(SetValueEx(h, QString(), rt::REG_BINARY, QStringLiteral("x")), 0);
    EXPECT_EQ(SetValueEx(h, QStringLiteral("Kept"), rt::REG_SZ, QStringLiteral("k")), 0);
    rt::RegCloseKey(h);
    EXPECT_FALSE(QueryValue(QStringLiteral(".cal"), QString(), HKCR).isValid());

    SetKeyValue(QStringLiteral(".cal"), QString(), QStringLiteral("Mirovanta"), rt::REG_SZ, HKCR);
    DeleteValue(QStringLiteral(".cal"), QString(), HKCR);
    EXPECT_FALSE(QueryValue(QStringLiteral(".cal"), QString(), HKCR).isValid());
    EXPECT_EQ(QueryValue(QStringLiteral(".cal"), QStringLiteral("Kept"), HKCR), QVariant("k"));
}
