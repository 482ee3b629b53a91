#pragma once

// What the benchmarks share: memory readings and a fixture server in a thread of its own.

#include "support/FixtureServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <functional>

namespace Lunovex::Bench {

// Milliseconds since the timer started, to the nanosecond.
inline double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// A value from /proc/self/status, in kB ("VmRSS:", "VmHWM:").
inline long statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').first().toLong();
    return -1;
}

// Starts the peak-memory reading (VmHWM) afresh.
inline void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

// A fixture server running in a thread of its own, so that it does not share the event loop it serves.
class ServerThread
{
public:
    explicit ServerThread(const std::function<void(Test::FixtureServer&)>& routes)
    {
        context_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            &context_,
            [&] {
                server_ = new Test::FixtureServer;
                routes(*server_);
                server_->start();
            },
            Qt::BlockingQueuedConnection);
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(
            &context_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    ServerThread(const ServerThread&) = delete;
    ServerThread& operator=(const ServerThread&) = delete;

    QString url(const QString& path) const { return server_->url(path); }

private:
    QThread thread_;
    QObject context_;
    Test::FixtureServer* server_ = nullptr;
};

} // namespace Lunovex::Bench
