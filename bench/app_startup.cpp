// Start-up time and idle memory of the built program on a private Xvfb: each run
// launches build/quorvanel, times it from the launch to its main window mapped,
// reads its peak resident memory after a second of idling, then closes the
// window the way a window manager would and checks the exit status.
//   bench_app_startup [RUNS] [PROGRAM]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
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

std::string WindowName(xcb_connection_t* c, xcb_window_t w)
{
    auto* r = xcb_get_property_reply(c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 64), nullptr);
    std::string name;
    if (r)
        name.assign(static_cast<const char*>(xcb_get_property_value(r)), size_t(xcb_get_property_value_length(r)));
    std::free(r);
    return name;
}

// The main window once it is mapped, or none within the time.
xcb_window_t WaitForMainWindow(xcb_connection_t* c, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        xcb_generic_event_t* e = xcb_poll_for_event(c);
        if (!e) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        xcb_window_t mapped = XCB_WINDOW_NONE;
        if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY)
            mapped = reinterpret_cast<xcb_map_notify_event_t*>(e)->window;
        std::free(e);
        if (mapped != XCB_WINDOW_NONE && WindowName(c, mapped) == "Quorvanel")
            return mapped;
    }
    return XCB_WINDOW_NONE;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::string program = argc > 2 ? argv[2] : "";
    if (program.empty())
        program = bench::DefaultQuorvanel();

    bench::PrivateDisplay x("1024x768");
    if (!x.Ok())
        return 1;
    xcb_connection_t* c = x.Connection();
    const std::vector<std::string>& env = x.Environment();

    std::vector<double> startMs, peakMiB;
    int failures = 0;
    for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        const pid_t pid = Spawn({program}, env);
        const xcb_window_t w = pid > 0 ? WaitForMainWindow(c, t0 + std::chrono::seconds(30)) : xcb_window_t(XCB_WINDOW_NONE);
        if (w == XCB_WINDOW_NONE) {
            std::fprintf(stderr, "run %d: no window\n", i + 1);
            if (pid > 0)
                kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
            ++failures;
            continue;
        }
        startMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        std::this_thread::sleep_for(std::chrono::seconds(1));
        peakMiB.push_back(PeakResidentMiB(pid));
        Close(c, w);
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "run %d: ended with status %d\n", i + 1, status);
            ++failures;
        }
    }

    std::printf("runs: %zu of %d\n", startMs.size(), runs);
    std::printf("start-up to main window mapped: median %.1f ms (min %.1f, max %.1f)\n", Median(startMs),
                startMs.empty() ? 0 : *std::min_element(startMs.begin(), startMs.end()),
                startMs.empty() ? 0 : *std::max_element(startMs.begin(), startMs.end()));
    std::printf("peak resident memory after 1 s idle: median %.1f MiB\n", Median(peakMiB));
    return failures == 0 ? 0 : 1;
}
