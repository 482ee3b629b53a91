#pragma once

#include <QWidget>

namespace Lunovex {

// A window must outlive the commands of its own that wait in the event loop: a close that comes
// during such a wait hides the window, which is deleted once the last wait has returned.
class DeferredClose
{
public:
    explicit DeferredClose(QWidget* window) : window_(window) {}

    // Held by a command for as long as it may wait.
    class Scope
    {
    public:
        explicit Scope(DeferredClose& owner) : owner_(owner) { ++owner_.depth_; }
        ~Scope()
        {
            if (--owner_.depth_ == 0 && owner_.pending_) owner_.window_->deleteLater();
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        DeferredClose& owner_;
    };

    bool waiting() const { return depth_ > 0; }

    // Called by the window's close handler once it has accepted the close.
    void closing()
    {
        if (depth_ == 0) return;
        window_->setAttribute(Qt::WA_DeleteOnClose, false);
        pending_ = true;
    }

private:
    QWidget* window_;
    int depth_ = 0;
    bool pending_ = false;
};

} // namespace Lunovex
