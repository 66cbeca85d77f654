#pragma once
// Helpers shared by the ".cal" reader and writer tests: files, external tools, a document with
// every kind of record, and a field-by-field comparison.

#include "core/cp1252.h"
#include "core/zip_archive.h"
#include "doc_fixture.h"
#include "document/cal_reader.h"
#include "document/cal_writer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace caltest {

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

inline void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(data), data.size());
}

inline QString dataFile(const char* name) {
    return QStringLiteral(MIROVANTA_TEST_DATA "/cal/") + QString::fromLatin1(name);
}

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a shell command with no input.
inline ToolResult runShell(const QString& command) {
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// A shell word giving the password's Windows-1252 bytes.
inline QString shellPassword(const QString& password) {
    QString escaped;
    for (char c : rt::toCp1252(password))
        escaped += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
    return QStringLiteral("\"$(printf '%1')\"").arg(escaped);
}

inline QString quoted(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'');
}

// A small picture of one colour saved as a .bmp file; returns its path.
inline QString makePicture(const QDir& dir, const QString& name, QRgb colour, int w = 8,
                           int h = 6) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    const QString path = dir.filePath(name);
    image.save(path, "BMP");
    return path;
}

// An archive holding the given files (name, bytes), all unencrypted.
inline QString makeArchive(const QDir& dir, const QString& archiveName,
                           const std::vector<std::pair<QString, QByteArray>>& files) {
    const QString folder = dir.filePath(archiveName + QStringLiteral(".in"));
    QDir().mkpath(folder);
    rt::ZipArchive zip;
    for (const auto& [name, bytes] : files) {
        writeFile(folder + QLatin1Char('/') + name, bytes);
        zip.addFile(folder + QLatin1Char('/') + name);
    }
    const QString archive = dir.filePath(archiveName);
    zip.write(archive);
    return archive;
}

// A document with every kind of record, texts outside ASCII, a read password and pictures of
// every kind (made in dir).
CalDocument fullDocument(const QDir& dir);

// Expects every stored field of b to equal a's, and every picture that travels with the file
// to show the same pixels.
void expectSameDocument(const CalDocument& a, const CalDocument& b);

} // namespace caltest
