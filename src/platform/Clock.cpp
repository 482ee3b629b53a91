#include "platform/Clock.h"

#include <QElapsedTimer>

#include <algorithm>

namespace Lunovex {

namespace {

std::function<double()>& testSource()
{
    static std::function<double()> source;
    return source;
}

} // namespace

double Clock::seconds()
{
    if (const auto& source = testSource()) return source();
    static const QElapsedTimer started = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return double(started.nsecsElapsed()) / 1e9;
}

void Clock::setTestSource(std::function<double()> source)
{
    testSource() = std::move(source);
}

Timing& Timing::current()
{
    static Timing timing;
    return timing;
}

void Timing::reset()
{
    current() = Timing{};
}

void Timing::scaleAll(double factor)
{
    Timing& t = current();
    auto scale = [factor](milliseconds& d) {
        d = milliseconds(std::max<long long>(1, static_cast<long long>(double(d.count()) * factor)));
    };
    for (milliseconds* d :
         {&t.startWindowDelay, &t.headerWait, &t.chunkWait, &t.transferStall, &t.downloaderTimeout,
          &t.pageLoad, &t.pageSettle, &t.pauseSecond, &t.newWindowWait, &t.loginWaitLong, &t.loginWaitShort,
          &t.supervisionTick, &t.schedulingTick, &t.downloaderTick, &t.autoAnalysisTick, &t.loginRefreshTick,
          &t.xmlHttpPoll})
        scale(*d);
}

} // namespace Lunovex
