#pragma once
// Playing a wave file without waiting for it: the alarm sounds. One replaceable instance: the
// program uses the Qt Multimedia one, tests a scripted one (tests/support/scripted_services.h).
// Qt Multimedia itself is in the sound module (sound_output.h), loaded on the first sound.

#include <QString>
#include <memory>

namespace rt {

class SoundOutput;

class SoundServices {
public:
    virtual ~SoundServices() = default;
    // Starts playing the .wav file and returns at once; a sound still playing is replaced.
    // Returns false, and plays nothing at all, when the file is missing or is not a wave file
    // that can be played. Without an audio device nothing is heard, and that is no error.
    virtual bool play(const QString& fileName) = 0;
};

SoundServices& sound();
// Installs new services; returns the previous ones. nullptr restores the Qt services.
std::shared_ptr<SoundServices> setSoundServices(std::shared_ptr<SoundServices> services);

// True when the file exists and holds a RIFF wave of PCM (8, 16, 24 or 32 bits) or 32-bit float
// samples with at least one channel and a data chunk: the kinds Qt Multimedia plays. The answer
// does not depend on an audio device, so that it is the same on every machine.
bool isPlayableWav(const QString& fileName);

// The Qt implementation. Without the sound module (missing or broken, which the module loader
// logs) no sound is played and play returns false, as for a file that cannot be played.
class QtSoundServices : public SoundServices {
public:
    QtSoundServices();
    ~QtSoundServices() override;
    bool play(const QString& fileName) override;

private:
    std::unique_ptr<SoundOutput> output_; // made on the first sound
};

} // namespace rt
