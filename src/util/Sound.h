#pragma once

#include <QString>

namespace Lunovex {

// Plays notification sound 101, 102 or 103: the wave file of that number in the application
// folder, written there from the program's resources on first use. Does not wait for the end.
void PlayWaveSound(int soundNumber);

// The short form of a path. Paths have no short form here: the path unchanged.
QString GetShortPath(const QString& longPath);

} // namespace Lunovex
