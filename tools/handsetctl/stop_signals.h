// SIGTERM and SIGINT as a request to stop serving: while an object lives, both are blocked and,
// when let in (with the mask during_wait() gives, in the one place a server waits), set the flag
// stop_requested() returns instead of ending the process. SIGPIPE is ignored, so that a reader
// that goes away is an error of the write rather than the end of the process. Everything is
// restored as it was when the object ends.
#pragma once

#include <csignal>

namespace handsetctl {

class StopSignals {
  public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    const sigset_t* during_wait() const { return &m_during_wait; }
    static const volatile std::sig_atomic_t& stop_requested();

  private:
    sigset_t m_previous_mask;
    sigset_t m_during_wait;
    struct sigaction m_previous_term;
    struct sigaction m_previous_interrupt;
    struct sigaction m_previous_pipe;
};

} // namespace handsetctl
