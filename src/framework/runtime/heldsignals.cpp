// HeldSignals: a handler of the process's own, installed for as long as any hold
// lasts. A mask would not do: it is each thread's, and the signal would then go
// to another thread (the sound's, Qt's) and end the program there.
#include "framework/runtime/heldsignals.h"

#include <atomic>
#include <csignal>
#include <iterator>
#include <mutex>

namespace {

constexpr int kHeld[] = {SIGTERM, SIGHUP, SIGINT};
constexpr int kCount = int(std::size(kHeld));

std::mutex holdsMutex;
int holds = 0;                     // under holdsMutex
// Under holdsMutex: what each did before the first hold. An ignored one is noted
// too, and raised once that is given back, to be ignored then.
struct sigaction earlier[kCount];
// Set in the handler, so only what is safe there.
std::atomic<bool> noted[kCount];
static_assert(std::atomic<bool>::is_always_lock_free);

void Note(int signal)
{
    for (int i = 0; i < kCount; ++i)
        if (kHeld[i] == signal)
            noted[i].store(true);
}

}  // namespace

HeldSignals::HeldSignals()
{
    const std::lock_guard lock(holdsMutex);
    if (holds++ > 0)
        return;
    struct sigaction note {};
    note.sa_handler = Note;
    note.sa_flags = SA_RESTART;  // the save's system calls go on as if nothing came
    sigemptyset(&note.sa_mask);
    for (int i = 0; i < kCount; ++i)
        sigaction(kHeld[i], &note, &earlier[i]);
}

HeldSignals::~HeldSignals()
{
    bool due[kCount] = {};
    {
        const std::lock_guard lock(holdsMutex);
        if (--holds > 0)
            return;
        for (int i = 0; i < kCount; ++i) {
            sigaction(kHeld[i], &earlier[i], nullptr);
            due[i] = noted[i].exchange(false);
        }
    }
    // Outside the lock, as what they did before may be a handler that holds them
    // itself; a hold taken meanwhile holds them again until it ends.
    for (int i = 0; i < kCount; ++i)
        if (due[i])
            std::raise(kHeld[i]);
}
