#pragma once

#include <chrono>
#include <functional>

namespace Lunovex {

using std::chrono::milliseconds;

// Monotonic time in seconds. Elapsed times are differences of two readings, so a transfer
// that runs across midnight or a wall-clock change is measured right.
class Clock
{
public:
    static double seconds();

    // Tests may drive time themselves; an empty function returns to the real clock.
    static void setTestSource(std::function<double()> source);
};

// Every fixed duration of the product, in one place. Production uses the values below;
// tests shrink them (scaleAll) or set single ones, and reset() brings them back.
struct Timing
{
    milliseconds startWindowDelay{100};      // start window: enables the search button
    milliseconds headerWait{30'000};         // method one: wait for the response headers
    milliseconds chunkWait{1'000};           // Inet: longest wait of one read for data
    milliseconds transferStall{120'000};     // method one: no progress for this long fails a row
    milliseconds downloaderTimeout{300'000}; // Downloader control: no progress for this long
    milliseconds pageLoad{90'000};           // harvest: longest wait for a result page to load
    milliseconds pageSettle{1'000};          // harvest: wait after clicking the next-page link
    milliseconds pauseSecond{1'000};         // harvest: one second of the chosen pause between pages
    milliseconds newWindowWait{10'000};      // browser: how long a new window may take to name its address
    milliseconds loginWaitLong{10'000};      // web login: wait for the login page
    milliseconds loginWaitShort{5'000};      // web login: wait after submitting
    milliseconds supervisionTick{1'000};     // download window Timer1
    milliseconds schedulingTick{1'000};      // download window Timer_Down
    milliseconds downloaderTick{1'000};      // Downloader control's stall check
    milliseconds autoAnalysisTick{60'000};   // search window Timer1
    milliseconds loginRefreshTick{60'000};   // download window Timer2
    milliseconds xmlHttpPoll{10};            // uXMLHTTP tmrReader
    milliseconds waitPoll{10};               // how often a wait looks at its condition
    milliseconds listRepaint{33};            // coalesced repaint of changed list rows

    static Timing& current();
    static void reset();
    // Multiplies every duration but the two polling intervals by factor (at least 1 ms each).
    static void scaleAll(double factor);
};

} // namespace Lunovex
