#include "core/cp1252.h"
#include "core/rt_error.h"
#include "core/zip_archive.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sys/resource.h>

using namespace rt;

namespace {

// A password with a character outside ASCII: its byte in Windows-1252 is 0xE9.
const QString kPassword = QStringLiteral("clé secrète");
const QByteArray kCalData = rt::toCp1252(QStringLiteral("\"2.1\"\r\n\"Noël l’été à 12 € œ\"\r\n"));

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(data), data.size());
}

QByteArray randomBytes(int size) {
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator rng(1234);
    for (char& c : data)
        c = char(rng.bounded(256));
    return data;
}

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
};

// Runs a shell command (so that raw password bytes can be made with printf) with no input.
ToolResult runShell(const QString& command) {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}

ToolResult runPython(const QString& script, const QStringList& args) {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput()};
}

// The password as a shell word of octal escapes, so the tools get its Windows-1252 bytes.
QString shellPassword(const QString& password) {
    QString escaped;
    for (char c : toCp1252(password))
        escaped += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
    return QStringLiteral("\"$(printf '%1')\"").arg(escaped);
}

QString quoted(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

// Limits no test archive comes near, unless a test sets its own.
const ZipLimits kRoomy{100, qint64(64) * 1024 * 1024};

int32_t extractError(const QString& archive, const QString& folder, const QString& password,
                     const ZipLimits& limits = kRoomy) {
    try {
        ZipArchive::extract(archive, folder, password, limits);
    } catch (const RtError& e) {
        return e.Number;
    }
    return 0;
}

class ZipArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        src = work.filePath(QStringLiteral("src"));
        out = work.filePath(QStringLiteral("out"));
        QDir().mkpath(src);
        QDir().mkpath(out);
        writeFile(src + QStringLiteral("/caldata.cal"), kCalData);
        writeFile(src + QStringLiteral("/bck.00"), picture);
    }

    // An archive of caldata.cal (encrypted when a password is given) and an unencrypted picture.
    QString makeArchive(const QString& password) {
        ZipArchive zip;
        zip.addFile(src + QStringLiteral("/caldata.cal"), password);
        zip.addFile(src + QStringLiteral("/bck.00"));
        const QString target = work.filePath(QStringLiteral("doc.cal"));
        zip.write(target);
        return target;
    }

    QTemporaryDir work;
    QString src, out;
    const QByteArray picture = randomBytes(3000);
};

} // namespace

TEST(ZipArchiveNames, BareNameIsTheTextAfterTheLastSlashOfEitherKind) {
    const struct {
        const char* entry;
        const char* bare;
    } cases[] = {
        {"caldata.cal", "caldata.cal"},
        {"x/../caldata.cal", "caldata.cal"},
        {"a\\b\\caldata.cal", "caldata.cal"},
        {"../../etc/passwd", "passwd"},
        {"/abs/ev.03090000", "ev.03090000"},
        {"mixed\\dir/bck.00", "bck.00"},
        {"folder/", ""},
        {"..", ""},
        {".", ""},
        {"a/..", ""},
        {"a\\.", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZipArchive::bareName(QString::fromUtf8(c.entry)), QString::fromUtf8(c.bare))
            << c.entry;
}

TEST_F(ZipArchiveTest, RoundTripWithPasswordEncryptsOnlyThePasswordedEntry) {
    const QString archive = makeArchive(kPassword);
    const QStringList names = ZipArchive::extract(archive, out, kPassword, kRoomy);
    EXPECT_EQ(names, (QStringList{QStringLiteral("caldata.cal"), QStringLiteral("bck.00")}));
    EXPECT_EQ(readFile(out + QStringLiteral("/caldata.cal")), kCalData);
    // The password was not applied to the unencrypted picture.
    EXPECT_EQ(readFile(out + QStringLiteral("/bck.00")), picture);
    // The stored data is not the plain text.
    EXPECT_FALSE(readFile(archive).contains(QByteArray("2.1")));
}

TEST_F(ZipArchiveTest, MissingOrWrongPasswordIsAlwaysThePasswordError) {
    // Ours (deflated), and zip's stored and deflated entries: a stored entry never fails to
    // inflate, only the CRC check at its end reveals a wrong password.
    QStringList archives{makeArchive(kPassword)};
    for (const char* level : {"-0", "-6"}) {
        archives << work.filePath(QStringLiteral("zip%1.zip").arg(QLatin1String(level)));
        ASSERT_EQ(runShell(QStringLiteral("cd %1 && zip -q %2 -P %3 %4 caldata.cal bck.00")
                               .arg(quoted(src), QLatin1String(level), shellPassword(kPassword),
                                    quoted(archives.last())))
                      .exitCode,
                  0);
    }
    for (const QString& archive : archives) {
        SCOPED_TRACE(archive.toStdString());
        EXPECT_EQ(extractError(archive, out, QString()), ErrZipPassword);
        EXPECT_EQ(extractError(archive, out, QStringLiteral("CLÉ SECRÈTE")), ErrZipPassword);
        for (int i = 0; i < 40; ++i)
            ASSERT_EQ(extractError(archive, out, QStringLiteral("wrong%1").arg(i)), ErrZipPassword);
        QTemporaryDir dir;
        EXPECT_EQ(ZipArchive::extract(archive, dir.path(), kPassword, kRoomy).size(), 2);
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("caldata.cal"))), kCalData);
        EXPECT_EQ(readFile(dir.filePath(QStringLiteral("bck.00"))), picture);
    }
}

TEST_F(ZipArchiveTest, RealToolsReadWhatWeWrite) {
    const QString archive = makeArchive(kPassword);

    const ToolResult list = runShell(QStringLiteral("unzip -l %1").arg(quoted(archive)));
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_TRUE(list.out.contains("caldata.cal"));
    EXPECT_TRUE(list.out.contains("bck.00"));

    const ToolResult data = runShell(QStringLiteral("unzip -p -P %1 %2 caldata.cal")
                                         .arg(shellPassword(kPassword), quoted(archive)));
    EXPECT_EQ(data.exitCode, 0);
    EXPECT_EQ(data.out, kCalData);

    const ToolResult pic = runShell(QStringLiteral("unzip -p %1 bck.00").arg(quoted(archive)));
    EXPECT_EQ(pic.exitCode, 0);
    EXPECT_EQ(pic.out, picture);

    // unzip also tests every CRC with the password.
    const ToolResult test = runShell(
        QStringLiteral("unzip -t -P %1 %2").arg(shellPassword(kPassword), quoted(archive)));
    EXPECT_EQ(test.exitCode, 0) << test.out.toStdString();

    const QString script =
        QStringLiteral("import sys, zipfile\n"
                       "z = zipfile.ZipFile(sys.argv[1])\n"
                       "info = {i.filename: i for i in z.infolist()}\n"
                       "assert info['caldata.cal'].flag_bits & 1, 'caldata.cal not encrypted'\n"
                       "assert not info['bck.00'].flag_bits & 1, 'picture encrypted'\n"
                       "pw = bytes.fromhex(sys.argv[2])\n"
                       "sys.stdout.buffer.write(z.read('caldata.cal', pwd=pw))\n"
                       "sys.stdout.buffer.write(z.read('bck.00'))\n"
                       "try:\n"
                       "    z.read('caldata.cal', pwd=b'wrong')\n"
                       "    sys.exit(3)\n"
                       "except RuntimeError:\n"
                       "    pass\n");
    const ToolResult py =
        runPython(script, {archive, QString::fromLatin1(toCp1252(kPassword).toHex())});
    EXPECT_EQ(py.exitCode, 0);
    EXPECT_EQ(py.out, kCalData + picture);
}

TEST_F(ZipArchiveTest, EntryNamesAreFlattenedAndNothingLeavesTheFolder) {
    const QString archive = work.filePath(QStringLiteral("names.zip"));
    const QString script = QStringLiteral("import sys, zipfile\n"
                                          "z = zipfile.ZipFile(sys.argv[1], 'w')\n"
                                          "z.writestr('../caldata.cal', b'up')\n"
                                          "z.writestr('x/../bck.00', b'back')\n"
                                          "z.writestr('a\\\\b\\\\ev.01070000', b'item')\n"
                                          "z.writestr('..', b'dots')\n"
                                          "z.writestr('sub/', b'')\n"
                                          "z.writestr('sub/.', b'dot')\n"
                                          "z.writestr('ev.abtcd', b'sans drapeau')\n"
                                          "z.close()\n"
                                          // A UTF-8 name stored without the UTF-8 flag, as
                                          // older tools store it: read in the locale's UTF-8.
                                          "d = open(sys.argv[1], 'rb').read()\n"
                                          "d = d.replace(b'ev.abtcd', 'ev.été'.encode())\n"
                                          "open(sys.argv[1], 'wb').write(d)\n");
    ASSERT_EQ(runPython(script, {archive}).exitCode, 0);

    const QString folder = out + QStringLiteral("/inner");
    QDir().mkpath(folder);
    const QStringList names = ZipArchive::extract(archive, folder, QString(), kRoomy);
    EXPECT_EQ(names, (QStringList{QStringLiteral("caldata.cal"), QStringLiteral("bck.00"),
                                  QStringLiteral("ev.01070000"), QStringLiteral("ev.été")}));
    EXPECT_EQ(readFile(folder + QStringLiteral("/caldata.cal")), QByteArray("up"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/bck.00")), QByteArray("back"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/ev.01070000")), QByteArray("item"));
    EXPECT_EQ(readFile(folder + QStringLiteral("/ev.été")), QByteArray("sans drapeau"));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
              4);
    // Nothing was written beside the folder.
    EXPECT_EQ(QDir(out).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 1);
}

TEST_F(ZipArchiveTest, ExtractionNeverWritesThroughASymbolicLink) {
    const QString archive = makeArchive(QString());
    const QString victim = work.filePath(QStringLiteral("victim"));
    writeFile(victim, "keep");
    ASSERT_TRUE(QFile::link(victim, out + QStringLiteral("/caldata.cal")));
    EXPECT_NE(extractError(archive, out, QString()), 0);
    EXPECT_EQ(readFile(victim), QByteArray("keep"));
}

TEST_F(ZipArchiveTest, LimitsOnEntriesAndSizeStopTheExtraction) {
    // 8 MiB of zeros deflates to a few kilobytes.
    writeFile(src + QStringLiteral("/big"), QByteArray(8 * 1024 * 1024, '\0'));
    ZipArchive zip;
    zip.addFile(src + QStringLiteral("/caldata.cal"));
    zip.addFile(src + QStringLiteral("/big"));
    zip.addFile(src + QStringLiteral("/bck.00"));
    const QString archive = work.filePath(QStringLiteral("big.zip"));
    zip.write(archive);
    ASSERT_LT(QFileInfo(archive).size(), 100 * 1024);

    const struct {
        int maxEntries;
        qint64 maxSize;
        int32_t expected;
    } cases[] = {
        {3, 9 * 1024 * 1024, 0},
        {2, 9 * 1024 * 1024, ErrZipTooLarge},
        {3, 1024 * 1024, ErrZipTooLarge},
        {3, 8 * 1024 * 1024, ErrZipTooLarge}, // the whole is just over the size
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ZipLimits limits;
        limits.MaxEntries = c.maxEntries;
        limits.MaxTotalSize = c.maxSize;
        EXPECT_EQ(extractError(archive, dir.path(), QString(), limits), c.expected)
            << c.maxEntries << " " << c.maxSize;
        // A refused entry leaves no partial file.
        if (c.expected != 0) {
            EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("big"))));
        }
    }
}

TEST_F(ZipArchiveTest, DamagedInputIsAnErrorOtherThanThePassword) {
    const QString archive = makeArchive(kPassword);
    const QByteArray whole = readFile(archive);

    const QString text = work.filePath(QStringLiteral("text.cal"));
    writeFile(text, "\"2.1\"\r\n\"not an archive\"\r\n");
    EXPECT_EQ(extractError(text, out, QString()), ErrZipNotArchive);

    const QString truncated = work.filePath(QStringLiteral("truncated.cal"));
    writeFile(truncated, whole.left(whole.size() / 2));
    EXPECT_EQ(extractError(truncated, out, kPassword), ErrZipNotArchive);

    const QString empty = work.filePath(QStringLiteral("empty.cal"));
    writeFile(empty, QByteArray());
    EXPECT_EQ(extractError(empty, out, QString()), ErrZipNotArchive);

    EXPECT_EQ(extractError(work.filePath(QStringLiteral("none.cal")), out, QString()),
              ErrFileNotFound);
    EXPECT_EQ(extractError(work.path(), out, QString()), ErrPathFileAccess); // said a folder
    // A pipe that carries the name is no archive, and is not waited on.
    const QString fifo = work.filePath(QStringLiteral("pipe.cal"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(extractError(fifo, out, QString()), ErrZipNotArchive);

    // A flipped byte inside the unencrypted picture's data: a damaged entry, not a password.
    const QString unencrypted = makeArchive(QString());
    QByteArray bytes = readFile(unencrypted);
    const qsizetype at = bytes.indexOf("bck.00") + 6 + 200; // inside the picture's data
    bytes[at] = char(bytes[at] ^ 0x55);
    const QString damaged = work.filePath(QStringLiteral("damaged.cal"));
    writeFile(damaged, bytes);
    EXPECT_EQ(extractError(damaged, out, QString()), ErrZipCorrupt);
}

TEST_F(ZipArchiveTest, WriteErrorsNameTheirCause) {
    ZipArchive zip;
    zip.addFile(src + QStringLiteral("/caldata.cal"));
    try {
        zip.write(work.filePath(QStringLiteral("no/such/folder/doc.cal")));
        ADD_FAILURE() << "no error";
    } catch (const RtError& e) {
        EXPECT_EQ(e.Number, ErrPathNotFound);
        EXPECT_FALSE(e.Description.isEmpty());
    }
    zip.addFile(src + QStringLiteral("/gone.bmp"));
    const QString target = work.filePath(QStringLiteral("doc.cal"));
    writeFile(target, "old");
    try {
        zip.write(target);
        ADD_FAILURE() << "no error";
    } catch (const RtError& e) {
        EXPECT_EQ(e.Number, ErrFileNotFound);
    }
    EXPECT_EQ(readFile(target), QByteArray("old"));
}

TEST_F(ZipArchiveTest, FailingDeviceLeavesThePreviousFileByteForByte) {
    const QString target = work.filePath(QStringLiteral("doc.cal"));
    const QByteArray previous = randomBytes(2000);
    writeFile(target, previous);
    // Incompressible data well over the file size limit set below.
    writeFile(src + QStringLiteral("/ev.01070000"), randomBytes(200 * 1024));
    ZipArchive zip;
    zip.addFile(src + QStringLiteral("/caldata.cal"), kPassword);
    zip.addFile(src + QStringLiteral("/ev.01070000"));

    // The system refuses every write past 64 KiB: the device fails in the middle of the archive.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    int32_t number = 0;
    QString description;
    try {
        zip.write(target);
    } catch (const RtError& e) {
        number = e.Number;
        description = e.Description;
    }
    setrlimit(RLIMIT_FSIZE, &saved);

    // No more room for the file: the disk is full as far as this file goes, and the message
    // names the file the user asked for.
    EXPECT_EQ(number, ErrDiskFull);
    EXPECT_TRUE(description.startsWith(errorDescription(ErrDiskFull) + QStringLiteral(" : ") +
                                       target + QStringLiteral(" (la taille maximale")))
        << description.toStdString();
    EXPECT_EQ(readFile(target), previous);
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("doc.cal")});
    // Once the device works again, the same entry list writes.
    zip.write(target);
    EXPECT_EQ(ZipArchive::extract(target, out, kPassword, kRoomy).size(), 2);
}
