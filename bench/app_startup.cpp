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

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.empty() ? 0 : v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int fd3 = -1)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 01 /*O_WRONLY*/, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 01, 0);
    if (fd3 >= 0)
        posix_spawn_file_actions_adddup2(&actions, fd3, 3);
    std::vector<char*> argv, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

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

void Close(xcb_connection_t* c, xcb_window_t w)
{
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = w;
    event.type = Atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

double PeakResidentMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::string program = argc > 2 ? argv[2] : "";
    if (program.empty()) {
        char self[4096] = {};
        const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
        std::string dir = n > 0 ? std::string(self, size_t(n)) : std::string();
        dir = dir.substr(0, dir.rfind('/'));
        program = dir.substr(0, dir.rfind('/')) + "/quorvanel";
    }

    int pipefd[2];
    if (pipe(pipefd) != 0)
        return 1;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) && std::strncmp(*e, "QT_QPA_PLATFORM=", 16)
            && std::strncmp(*e, "XDG_RUNTIME_DIR=", 16))
            env.emplace_back(*e);
    const pid_t xvfb = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, env,
                             pipefd[1]);
    close(pipefd[1]);
    char buf[32] = {};
    const ssize_t got = xvfb > 0 ? read(pipefd[0], buf, sizeof buf - 1) : -1;
    close(pipefd[0]);
    if (got <= 0) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    const std::string display = ":" + std::to_string(std::atoi(buf));
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    char runtime[] = "/tmp/qv-bench-XXXXXX";
    if (!mkdtemp(runtime))
        return 1;
    env.push_back("DISPLAY=" + display);
    env.push_back(std::string("XDG_RUNTIME_DIR=") + runtime);

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
    xcb_disconnect(c);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    rmdir(runtime);

    std::printf("runs: %zu of %d\n", startMs.size(), runs);
    std::printf("start-up to main window mapped: median %.1f ms (min %.1f, max %.1f)\n", Median(startMs),
                startMs.empty() ? 0 : *std::min_element(startMs.begin(), startMs.end()),
                startMs.empty() ? 0 : *std::max_element(startMs.begin(), startMs.end()));
    std::printf("peak resident memory after 1 s idle: median %.1f MiB\n", Median(peakMiB));
    return failures == 0 ? 0 : 1;
}
