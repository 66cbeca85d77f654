#pragma once
// The ten default alarm sounds: short tones and jingles, synthesised as 16-bit mono PCM WAV.

#include <QByteArray>

namespace resgen {

inline constexpr int kSoundCount = 10;
inline constexpr int kSampleRate = 22050;

// The WAV file of alarm sound n (1 to 10).
QByteArray alarmSound(int n);

} // namespace resgen
