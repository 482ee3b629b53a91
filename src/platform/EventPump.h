#pragma once

#include "platform/Clock.h"

#include <QEventLoop>
#include <QObject>

#include <functional>

namespace Lunovex {

// Long operations on the one GUI thread wait here, so that timers, buttons and the browser keep
// running. No wait spins a core: waiting blocks in a nested event loop that wakes on events and
// on a short polling timer.
namespace EventPump {

// Serves the pending events once. Returns at once when the queue was served less than a
// millisecond ago, so a loop may call it after every small piece of work.
void serve();

// Serves events until done() holds or limit has passed (milliseconds::max(): no limit); returns done().
bool waitUntil(const std::function<bool()>& done, milliseconds limit);

// The same, looking at done() also each time sender emits signal, so the wait ends as soon as
// the awaited thing happens rather than at the next poll.
template <typename Sender, typename Signal>
bool waitUntil(const std::function<bool()>& done, milliseconds limit, const Sender* sender, Signal signal);

// The wait itself: wake(loop) may connect signals that re-check done() and end the loop.
bool waitUntilWoken(const std::function<bool()>& done, milliseconds limit,
                    const std::function<void(QEventLoop& loop)>& wake);

// Serves events for the given time.
void sleep(milliseconds duration);

// Runs work on a thread of its own and serves events until it has finished, so that a long pure
// computation (parsing a large page) does not stop the window. work must not touch any widget.
void runAside(const std::function<void()>& work);

template <typename Sender, typename Signal>
bool waitUntil(const std::function<bool()>& done, milliseconds limit, const Sender* sender, Signal signal)
{
    return waitUntilWoken(done, limit, [&](QEventLoop& loop) {
        QObject::connect(sender, signal, &loop, [&] {
            if (done()) loop.quit();
        });
    });
}

} // namespace EventPump

} // namespace Lunovex
