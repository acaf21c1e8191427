#include "Interrupt.h"

namespace verdan::cli {

namespace {

// The flag of the innermost InterruptCancels, for the handler: a signal handler reaches
// nothing else.
std::atomic<bool>* interruptTarget = nullptr;

extern "C" void cancelOnInterrupt(int) {
    if (interruptTarget != nullptr)
        interruptTarget->store(true);
}

} // namespace

InterruptCancels::InterruptCancels(std::atomic<bool>& cancel)
    : m_cancel(cancel), m_oldTarget(interruptTarget) {
    interruptTarget = &cancel;
    struct sigaction action {};
    action.sa_handler = cancelOnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &m_oldInt);
    sigaction(SIGTERM, &action, &m_oldTerm);
}

InterruptCancels::~InterruptCancels() {
    sigaction(SIGINT, &m_oldInt, nullptr);
    sigaction(SIGTERM, &m_oldTerm, nullptr);
    interruptTarget = m_oldTarget;
    if (m_oldTarget != nullptr && m_cancel.load())
        m_oldTarget->store(true);
}

} // namespace verdan::cli
