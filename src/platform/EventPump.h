#pragma once

#include "platform/Clock.h"

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

// Serves events for the given time.
void sleep(milliseconds duration);

} // namespace EventPump

} // namespace Lunovex
