#include "common/test_support.h"
#include "platform/module_loader.h"
#include "platform/sound.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace rt;

namespace {

QByteArray le16(quint16 v) {
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le32(quint32 v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
// A chunk with its padding byte when the size is odd.
QByteArray chunk(const char* id, const QByteArray& body) {
    QByteArray c = QByteArray(id, 4) + le32(quint32(body.size())) + body;
    if (body.size() & 1) c += '\0';
    return c;
}
QByteArray fmt(quint16 format, quint16 channels, quint32 rate, quint16 bits) {
    const quint16 align = quint16(channels * bits / 8);
    return le16(format) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) +
           le16(bits);
}
// The extensible layout: the real format is in the first two bytes of the sub-format.
QByteArray fmtExtensible(quint16 subFormat, quint16 channels, quint16 bits) {
    return fmt(0xFFFE, channels, 22050, bits) + le16(22) + le16(bits) + le32(3) + le16(subFormat) +
           QByteArray(14, '\x01');
}
QByteArray wave(const QByteArray& chunks, const char* riff = "RIFF") {
    return QByteArray(riff, 4) + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}
const QByteArray kSamples(64, '\x10');

struct WavCase {
    const char* name;
    QByteArray bytes;
    bool playable;
};

} // namespace

TEST(Sound, PlayableWaveFilesAreToldFromTheRest) {
    const std::vector<WavCase> cases = {
        {"pcm16 mono", wave(chunk("fmt ", fmt(1, 1, 22050, 16)) + chunk("data", kSamples)), true},
        {"pcm8 stereo", wave(chunk("fmt ", fmt(1, 2, 11025, 8)) + chunk("data", kSamples)), true},
        {"pcm24", wave(chunk("fmt ", fmt(1, 1, 44100, 24)) + chunk("data", kSamples)), true},
        {"float32", wave(chunk("fmt ", fmt(3, 2, 48000, 32)) + chunk("data", kSamples)), true},
        {"extensible pcm", wave(chunk("fmt ", fmtExtensible(1, 2, 16)) + chunk("data", kSamples)),
         true},
        {"odd chunk before fmt",
         wave(chunk("LIST", "abc") + chunk("fmt ", fmt(1, 1, 8000, 16)) + chunk("data", kSamples)),
         true},
        {"fmt with extra bytes",
         wave(chunk("fmt ", fmt(1, 1, 8000, 16) + le16(0)) + chunk("data", kSamples)), true},
        {"adpcm", wave(chunk("fmt ", fmt(2, 1, 22050, 4)) + chunk("data", kSamples)), false},
        {"extensible adpcm", wave(chunk("fmt ", fmtExtensible(2, 1, 16)) + chunk("data", kSamples)),
         false},
        {"float64", wave(chunk("fmt ", fmt(3, 1, 22050, 64)) + chunk("data", kSamples)), false},
        {"pcm12", wave(chunk("fmt ", fmt(1, 1, 22050, 12)) + chunk("data", kSamples)), false},
        {"no channel", wave(chunk("fmt ", fmt(1, 0, 22050, 16)) + chunk("data", kSamples)), false},
        {"rate 0", wave(chunk("fmt ", fmt(1, 1, 0, 16)) + chunk("data", kSamples)), false},
        {"no data chunk", wave(chunk("fmt ", fmt(1, 1, 22050, 16))), false},
        {"data before fmt", wave(chunk("data", kSamples) + chunk("fmt ", fmt(1, 1, 22050, 16))),
         false},
        {"short fmt", wave(chunk("fmt ", fmt(1, 1, 22050, 16).left(12)) + chunk("data", kSamples)),
         false},
        {"big-endian riff",
         wave(chunk("fmt ", fmt(1, 1, 22050, 16)) + chunk("data", kSamples), "RIFX"), false},
        {"header only", QByteArray("RIFF\x04\0\0\0WAVE", 12), false},
        {"text", QByteArray("Ceci n'est pas un son.\n"), false},
        {"empty", QByteArray(), false},
    };
    QTemporaryDir dir;
    for (const WavCase& c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".wav"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        EXPECT_EQ(isPlayableWav(path), c.playable) << c.name;
    }
    EXPECT_FALSE(isPlayableWav(dir.filePath(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(isPlayableWav(QString()));
    EXPECT_FALSE(isPlayableWav(dir.path())); // a folder
}

// The machines the tests run on have no audio device: playing must neither fail nor wait.
TEST(Sound, PlayingStartsWithoutWaitingAndRefusesWhatCannotPlay) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("alarm01.wav"));
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wave(chunk("fmt ", fmt(1, 1, 22050, 16)) + chunk("data", QByteArray(44100, '\0'))));
    f.close();

    QtSoundServices player;
    EXPECT_TRUE(player.play(good));
    EXPECT_TRUE(player.play(good));  // a second sound replaces the first
    EXPECT_FALSE(player.play(dir.filePath(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(player.play(QString()));
}

// Without the sound module a playable file is not played, as one that cannot play; the program
// goes on, and plays again once the module is found.
TEST(Sound, WithoutTheSoundModuleNothingIsPlayed) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("alarm01.wav"));
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(wave(chunk("fmt ", fmt(1, 1, 22050, 16)) + chunk("data", kSamples)));
    f.close();
    {
        testing_support::WarningLog log;
        testing_support::ModulesSearchedIn searched({dir.path()});
        QtSoundServices player;
        EXPECT_TRUE(isPlayableWav(good));
        EXPECT_FALSE(player.play(good));
        EXPECT_FALSE(player.play(good));
        EXPECT_EQ(log.containing(moduleFileName(QStringLiteral("sound"))).size(), 1);
    }
    QtSoundServices player;
    EXPECT_TRUE(player.play(good));
}
