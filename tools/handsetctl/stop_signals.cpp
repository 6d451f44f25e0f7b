#include "stop_signals.h"

namespace handsetctl {

namespace {

volatile std::sig_atomic_t stop_flag = 0;

extern "C" void request_stop(int) {
    stop_flag = 1;
}

} // namespace

StopSignals::StopSignals() {
    stop_flag = 0;
    sigset_t stopping;
    sigemptyset(&stopping);
    sigaddset(&stopping, SIGTERM);
    sigaddset(&stopping, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopping, &m_previous_mask);
    m_during_wait = m_previous_mask;
    sigdelset(&m_during_wait, SIGTERM);
    sigdelset(&m_during_wait, SIGINT);

    // Without SA_RESTART, so that the wait returns to look at the flag.
    struct sigaction stop {};
    stop.sa_handler = request_stop;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTERM, &stop, &m_previous_term);
    sigaction(SIGINT, &stop, &m_previous_interrupt);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &m_previous_pipe);
}

StopSignals::~StopSignals() {
    sigaction(SIGPIPE, &m_previous_pipe, nullptr);
    sigaction(SIGINT, &m_previous_interrupt, nullptr);
    sigaction(SIGTERM, &m_previous_term, nullptr);
    pthread_sigmask(SIG_SETMASK, &m_previous_mask, nullptr);
}

const volatile std::sig_atomic_t& StopSignals::stop_requested() {
    return stop_flag;
}

} // namespace handsetctl
