// The sound module: plays wave files with Qt Multimedia (platform/sound_output.h).

#include "platform/sound_output.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <memory>

namespace {

class MultimediaOutput : public rt::SoundOutput {
public:
    void play(const QString& fileName) override {
        // Without an output device Qt Multimedia only complains; play nothing instead.
        if (QMediaDevices::audioOutputs().isEmpty()) return;
        if (!effect_) effect_ = std::make_unique<QSoundEffect>();
        effect_->stop();
        effect_->setSource(QUrl::fromLocalFile(fileName));
        effect_->play(); // starts once the file is loaded, without waiting here
    }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

} // namespace

extern "C" Q_DECL_EXPORT rt::SoundOutput* mirovanta_sound_create() {
    return new MultimediaOutput;
}
static_assert(std::is_same_v<decltype(&mirovanta_sound_create), rt::CreateSoundOutput>);
