#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// The build puts the default sounds in "Wav" beside the folder of the programs (bin/, tests/).
QString soundFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../Wav"));
}

quint32 le32(const QByteArray& b, int at) {
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, int at) {
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

TEST(AlarmSounds, TenShortDistinctPcmWaveFiles) {
    QSet<QByteArray> digests;
    for (int n = 1; n <= 10; ++n) {
        const QString name = QStringLiteral("alarm%1.wav").arg(n, 2, 10, QLatin1Char('0'));
        SCOPED_TRACE(name.toStdString());
        QFile f(QDir(soundFolder()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << soundFolder().toStdString();
        const QByteArray wav = f.readAll();
        ASSERT_GE(wav.size(), 44);
        EXPECT_EQ(wav.left(4), QByteArray("RIFF"));
        EXPECT_EQ(le32(wav, 4), quint32(wav.size() - 8));
        EXPECT_EQ(wav.mid(8, 8), QByteArray("WAVEfmt "));
        EXPECT_EQ(le16(wav, 20), 1); // PCM
        const int channels = le16(wav, 22);
        const quint32 rate = le32(wav, 24);
        const int bits = le16(wav, 34);
        EXPECT_EQ(channels, 1);
        EXPECT_EQ(bits, 16);
        EXPECT_EQ(le32(wav, 28), rate * quint32(channels * bits / 8));
        EXPECT_EQ(wav.mid(36, 4), QByteArray("data"));
        const quint32 dataBytes = le32(wav, 40);
        ASSERT_EQ(dataBytes, quint32(wav.size() - 44));

        const double seconds = double(dataBytes) / 2 / rate;
        EXPECT_GE(seconds, 0.3);
        EXPECT_LE(seconds, 2.5);

        // Audible, not clipped, and starting and ending at rest (no click).
        int peak = 0;
        const int count = int(dataBytes / 2);
        for (int i = 0; i < count; ++i)
            peak = std::max(peak,
                            std::abs(int(qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * i))));
        EXPECT_GE(peak, 16000);
        EXPECT_LT(peak, 32767);
        EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(wav.constData() + 44))), 500);
        EXPECT_LT(std::abs(int(qFromLittleEndian<qint16>(wav.constData() + wav.size() - 2))), 500);
        digests.insert(QCryptographicHash::hash(wav.mid(44), QCryptographicHash::Sha1));
    }
    EXPECT_EQ(digests.size(), 10);
}
