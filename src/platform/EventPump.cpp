#include "platform/EventPump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace Lunovex::EventPump {

void serve()
{
    static QElapsedTimer lastServed;
    if (lastServed.isValid() && lastServed.nsecsElapsed() < 1'000'000) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    lastServed.start();
}

bool waitUntil(const std::function<bool()>& done, milliseconds limit)
{
    return waitUntilWoken(done, limit, {});
}

bool waitUntilWoken(const std::function<bool()>& done, milliseconds limit,
                    const std::function<void(QEventLoop& loop)>& wake)
{
    if (done()) return true;
    // What is already queued often settles it; a nested loop is dear when waits are short and many.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (done()) return true;
    // milliseconds::max() waits for the condition alone.
    const bool unbounded = limit == milliseconds::max();
    const QDeadlineTimer deadline =
        unbounded ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(limit);
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(std::min(Timing::current().waitPoll, limit));
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired()) loop.quit();
    });
    poll.start();
    if (wake) wake(loop);
    if (!unbounded) QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

void sleep(milliseconds duration)
{
    waitUntil([] { return false; }, duration);
}

void runAside(const std::function<void()>& work)
{
    const std::unique_ptr<QThread> thread(QThread::create(work));
    thread->start();
    waitUntil([&] { return thread->isFinished(); }, milliseconds::max(), thread.get(), &QThread::finished);
    thread->wait();
}

} // namespace Lunovex::EventPump
