// A large file given on the command line, from the launch to a window shown with
// its content and the process idle, side by side with peer programs in one run.
// Each run starts one program on a private Xvfb with FILE as its argument; the
// program is ready once its window is mapped and it has used no CPU for 300 ms,
// and its ready time is the moment its CPU use stopped. Peak memory is its VmHWM
// then. The programs take turns, run after run, and the medians are printed:
//   bench_launch_large FILE [RUNS] [PROGRAM ...]
// Without programs: build/quorvanel, and okteta when it is installed (a peer for
// comparison only). bench/launch-large SIZE_MIB makes a random file and runs this.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

#include "support/launchsupport.h"

namespace {

using namespace bench;

using Clock = std::chrono::steady_clock;
constexpr auto kIdleFor = std::chrono::milliseconds(300);
constexpr auto kGiveUp = std::chrono::seconds(120);

// The process that says it owns a window (_NET_WM_PID), or 0.
pid_t OwnerOf(xcb_connection_t* c, xcb_window_t w)
{
    auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, Atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1),
                                     nullptr);
    pid_t pid = 0;
    if (r && xcb_get_property_value_length(r) == 4)
        pid = pid_t(*static_cast<const uint32_t*>(xcb_get_property_value(r)));
    std::free(r);
    return pid;
}

// A window of at least 300 x 200 pixels: a main window, not a tooltip or a menu.
bool IsLarge(xcb_connection_t* c, xcb_window_t w)
{
    auto* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr);
    const bool large = g && g->width >= 300 && g->height >= 200;
    std::free(g);
    return large;
}

// CPU time used by the process, all its threads, in clock ticks.
long long CpuTicks(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = all.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    long long utime = 0, stime = 0;
    for (int i = 3; rest >> field; ++i) {  // field 3 is the state
        if (i == 14)
            utime = std::atoll(field.c_str());
        if (i == 15) {
            stime = std::atoll(field.c_str());
            break;
        }
    }
    return utime + stime;
}

struct Run {
    bool ok = false;
    double readyS = 0, peakMiB = 0;
};

Run LaunchOnce(xcb_connection_t* c, const std::string& program, const std::string& file,
               const std::vector<std::string>& env)
{
    Run run;
    const auto t0 = Clock::now();
    const pid_t pid = Spawn({program, file}, env);
    if (pid <= 0)
        return run;
    xcb_window_t window = XCB_WINDOW_NONE;
    long long ticks = -1;
    auto lastBusy = t0;
    while (Clock::now() - t0 < kGiveUp) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY && window == XCB_WINDOW_NONE) {
                const xcb_window_t w = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
                if (OwnerOf(c, w) == pid && IsLarge(c, w)) {
                    window = w;
                    lastBusy = std::max(lastBusy, Clock::now());
                }
            }
            std::free(e);
        }
        const long long now = CpuTicks(pid);
        if (now < 0)
            break;  // gone
        if (now != ticks) {
            ticks = now;
            lastBusy = Clock::now();
        } else if (window != XCB_WINDOW_NONE && Clock::now() - lastBusy >= kIdleFor) {
            run.ok = true;
            run.readyS = std::chrono::duration<double>(lastBusy - t0).count();
            run.peakMiB = PeakResidentMiB(pid);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (window != XCB_WINDOW_NONE)
        Close(c, window);
    for (int i = 0; i < 500 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (kill(pid, 0) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS] [PROGRAM ...]\n", argv[0]);
        return 2;
    }
    const std::string file = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    std::vector<std::string> programs(argv + std::min(argc, 3), argv + argc);
    if (programs.empty()) {
        programs.push_back(bench::DefaultQuorvanel());
        if (access("/usr/bin/okteta", X_OK) == 0)
            programs.push_back("/usr/bin/okteta");
    }

    bench::PrivateDisplay x("1280x1024");
    if (!x.Ok())
        return 1;
    xcb_connection_t* c = x.Connection();
    const std::vector<std::string>& env = x.Environment();

    std::vector<std::vector<double>> ready(programs.size()), peak(programs.size());
    int failures = 0;
    for (int i = 0; i < runs; ++i) {
        for (size_t p = 0; p < programs.size(); ++p) {
            const Run r = LaunchOnce(c, programs[p], file, env);
            if (!r.ok) {
                std::fprintf(stderr, "%s, run %d: no window, or never idle\n", programs[p].c_str(), i + 1);
                ++failures;
                continue;
            }
            ready[p].push_back(r.readyS);
            peak[p].push_back(r.peakMiB);
        }
    }

    for (size_t p = 0; p < programs.size(); ++p)
        std::printf("%s: ready median %.2f s, peak memory median %.0f MiB (%zu of %d runs)\n", programs[p].c_str(),
                    Median(ready[p]), Median(peak[p]), ready[p].size(), runs);
    return failures == 0 ? 0 : 1;
}
