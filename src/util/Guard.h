#pragma once

namespace Lunovex {

// A counted scope for "this is running". A handler that must not start while the work runs asks
// isLocked(), rather than reading a flag that also means "stop has been asked for": after a stop the
// work is still unwinding, and the guard says so until it has returned.
class Guard
{
public:
    bool isLocked() const { return depth_ > 0; }

    class Lock
    {
    public:
        explicit Lock(Guard& guard) : guard_(guard) { ++guard_.depth_; }
        ~Lock() { --guard_.depth_; }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        Guard& guard_;
    };

private:
    int depth_ = 0;
};

} // namespace Lunovex
