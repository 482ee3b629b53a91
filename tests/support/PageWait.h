#pragma once

#include "platform/Browser.h"
#include "platform/EventPump.h"

namespace Lunovex::Test {

// Waits until the browser shows address and has finished loading it.
inline bool waitForPage(Browser* browser, const QString& address)
{
    return EventPump::waitUntil([&] { return !browser->busy() && browser->locationUrl() == address; },
                                milliseconds(30'000), browser, &Browser::documentComplete);
}

} // namespace Lunovex::Test
