// SPDX-License-Identifier: MIT
#include "platform/interruptflag.h"

#include <csignal>

extern "C" {
#include <signal.h>
}

namespace aw {
namespace {

volatile std::sig_atomic_t g_raised = 0;
volatile std::sig_atomic_t g_count = 0;
constexpr int kForcingCount = 3;

extern "C" void OnInterrupt(int signal) {
    g_raised = 1;
    // A run stuck in a system call never reaches its check point; the third signal ends the process the
    // default way.
    const std::sig_atomic_t count = g_count + 1; // no compound assignment on a volatile
    g_count = count;
    if (count >= kForcingCount) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

} // namespace

void InterruptFlag::Install(bool hangUpToo) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // Blocking reads restart; the terminal prompt polls with a timeout and sees the flag anyway.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    struct sigaction hangUp {};
    if (hangUpToo && sigaction(SIGHUP, nullptr, &hangUp) == 0 && hangUp.sa_handler != SIG_IGN)
        sigaction(SIGHUP, &action, nullptr);
    // Killed by a file-size limit, the run would leave its temporary files and no message.
    std::signal(SIGXFSZ, SIG_IGN);
}

bool InterruptFlag::Raised() {
    return g_raised != 0;
}

void InterruptFlag::Raise() {
    g_raised = 1;
}

void InterruptFlag::Reset() {
    g_raised = 0;
    g_count = 0;
}

} // namespace aw
