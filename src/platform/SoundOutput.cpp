#include "platform/SoundOutput.h"

#include <QCoreApplication>
#include <QHash>
#include <QSoundEffect>
#include <QUrl>

namespace Lunovex::SoundOutput {

namespace {

std::function<void(const QString&)>& listener()
{
    static std::function<void(const QString&)> f;
    return f;
}

} // namespace

void play(const QString& wavePath)
{
    if (listener()) {
        listener()(wavePath);
        return;
    }
    // One effect per file, kept for the run: loading is asynchronous and a queued play starts
    // once the file is loaded.
    static QHash<QString, QSoundEffect*> effects;
    QSoundEffect*& effect = effects[wavePath];
    if (!effect) {
        effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(wavePath));
    }
    effect->play();
}

void setTestListener(std::function<void(const QString&)> f)
{
    listener() = std::move(f);
}

} // namespace Lunovex::SoundOutput
