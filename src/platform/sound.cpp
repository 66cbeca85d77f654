#include "sound.h"

#include "module_loader.h"
#include "sound_output.h"

#include <QFile>
#include <QtEndian>

namespace rt {

namespace {
std::shared_ptr<SoundServices>& current() {
    static std::shared_ptr<SoundServices> instance = std::make_shared<QtSoundServices>();
    return instance;
}

constexpr quint16 kFormatPcm = 1;
constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;
} // namespace

SoundServices& sound() {
    return *current();
}

std::shared_ptr<SoundServices> setSoundServices(std::shared_ptr<SoundServices> services) {
    auto previous = current();
    current() = services ? std::move(services) : std::make_shared<QtSoundServices>();
    return previous;
}

bool isPlayableWav(const QString& fileName) {
    if (fileName.isEmpty()) return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") return false;
    bool formatOk = false;
    // Walk the chunks: "fmt " must describe a playable format before "data" starts.
    while (true) {
        const QByteArray header = file.read(8);
        if (header.size() < 8) return false;
        const QByteArray id = header.left(4);
        const quint32 size = qFromLittleEndian<quint32>(header.constData() + 4);
        if (id == "fmt ") {
            if (size < 16) return false;
            const QByteArray fmt = file.read(qMin<quint32>(size, 40));
            if (fmt.size() < 16) return false;
            const char* p = fmt.constData();
            quint16 format = qFromLittleEndian<quint16>(p);
            const quint16 channels = qFromLittleEndian<quint16>(p + 2);
            const quint32 rate = qFromLittleEndian<quint32>(p + 4);
            const quint16 bits = qFromLittleEndian<quint16>(p + 14);
            if (format == kFormatExtensible) {
                if (fmt.size() < 26) return false;
                format = qFromLittleEndian<quint16>(p + 24); // first bytes of the sub-format
            }
            const bool pcm =
                format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            const bool flt = format == kFormatFloat && bits == 32;
            formatOk = (pcm || flt) && channels > 0 && rate > 0;
            if (!formatOk) return false;
            // Chunks are padded to an even size.
            if (!file.seek(file.pos() - fmt.size() + size + (size & 1))) return false;
        } else if (id == "data") {
            return formatOk;
        } else if (!file.seek(file.pos() + size + (size & 1))) {
            return false;
        }
    }
}

QtSoundServices::QtSoundServices() = default;
QtSoundServices::~QtSoundServices() = default;

bool QtSoundServices::play(const QString& fileName) {
    if (!isPlayableWav(fileName)) return false;
    if (!output_) {
        const auto create = moduleFunction<CreateSoundOutput>(kSoundModule, kSoundEntry);
        if (!create) return false;
        output_.reset(create());
    }
    output_->play(fileName);
    return true;
}

} // namespace rt
