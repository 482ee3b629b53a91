#include "util/Sound.h"

#include "platform/AppFolder.h"
#include "platform/SoundOutput.h"
#include "util/PathNames.h"

#include <QFile>
#include <QSaveFile>

namespace Lunovex {

void PlayWaveSound(int soundNumber)
{
    const QString path =
        ApplicationFolder() + PathSeparator() + QString::number(soundNumber) + QStringLiteral(".wav");
    if (!IsFilePresent(path)) {
        QFile resource(QStringLiteral(":/sounds/%1.wav").arg(soundNumber));
        if (!resource.open(QIODevice::ReadOnly)) return; // no such sound
        // Written whole or not at all, so a half-written file is never taken for the sound.
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(resource.readAll()) < 0 || !out.commit()) return;
    }
    SoundOutput::play(path.contains(QLatin1Char(' ')) ? GetShortPath(path) : path);
}

QString GetShortPath(const QString& longPath)
{
    return longPath;
}

} // namespace Lunovex
