#pragma once

#include <QString>

#include <functional>

namespace Lunovex {

// Plays a wave file without waiting for its end. A machine without an audio device stays silent;
// nothing blocks and nothing fails.
namespace SoundOutput {

void play(const QString& wavePath);

// Tests see each played file here instead of hearing it; an empty function restores the speaker.
void setTestListener(std::function<void(const QString& wavePath)> listener);

} // namespace SoundOutput

} // namespace Lunovex
