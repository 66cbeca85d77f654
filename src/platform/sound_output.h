#pragma once
// What the sound module (libmirovanta_sound.so, src/modules/sound_module.cpp) offers: the part
// of playing a sound that needs Qt Multimedia. The module is loaded on the first sound played
// (module_loader.h), so that a start without sounds does not map Qt Multimedia and the audio
// libraries under it.

#include <QString>

namespace rt {

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts playing a wave file that isPlayableWav accepted and returns at once; a sound
    // still playing is replaced. Without an audio output nothing is played.
    virtual void play(const QString& fileName) = 0;
};

// The module's entry: a new output, which the caller deletes.
inline constexpr char kSoundModule[] = "sound";
inline constexpr char kSoundEntry[] = "mirovanta_sound_create";
using CreateSoundOutput = SoundOutput* (*)();

} // namespace rt
