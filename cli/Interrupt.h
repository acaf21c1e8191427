// Ctrl-C and SIGTERM as a cancel flag, for the commands that run long.
#pragma once

#include <atomic>
#include <csignal>

namespace verdan::cli {

/// While it lives, SIGINT and SIGTERM set `cancel` instead of ending the process. One may be
/// made while another lives (a network run around each site's run): the inner one takes the
/// signals, and when it ends with its flag set it sets the outer one's too, so that a signal
/// is never lost between the two.
class InterruptCancels {
public:
    explicit InterruptCancels(std::atomic<bool>& cancel);
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

private:
    std::atomic<bool>& m_cancel;
    std::atomic<bool>* m_oldTarget;
    struct sigaction m_oldInt {};
    struct sigaction m_oldTerm {};
};

} // namespace verdan::cli
