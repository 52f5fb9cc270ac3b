// POSIX side of WatchInterrupts (Leftovers.h): the signals are blocked in every thread
// and taken by one waiting thread, where the cleanup may do whatever it needs.
#include "Leftovers.h"

#include <pthread.h>
#include <signal.h>

#include <thread>

namespace vorn::cli {

void WatchInterrupts() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, s);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {}
        StopAndClean(128 + signal);
    }).detach();
}

}  // namespace vorn::cli
