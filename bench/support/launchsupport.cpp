// A private Xvfb and the programs the launch benchmarks start on it.
#include "support/launchsupport.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.empty() ? 0 : v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int fd3)
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

std::string DefaultQuorvanel()
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, size_t(n)) : std::string();
    dir = dir.substr(0, dir.rfind('/'));
    return dir.substr(0, dir.rfind('/')) + "/quorvanel";
}

PrivateDisplay::PrivateDisplay(const char* screenSize)
{
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) && std::strncmp(*e, "QT_QPA_PLATFORM=", 16)
            && std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) && std::strncmp(*e, "XDG_CONFIG_HOME=", 16))
            env_.emplace_back(*e);
    int pipefd[2];
    if (pipe(pipefd) != 0)
        return;
    xvfb_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", std::string(screenSize) + "x24", "-nolisten", "tcp"},
                  env_, pipefd[1]);
    close(pipefd[1]);
    char buf[32] = {};
    const ssize_t got = xvfb_ > 0 ? read(pipefd[0], buf, sizeof buf - 1) : -1;
    close(pipefd[0]);
    char runtime[] = "/tmp/qv-bench-XXXXXX";
    if (got <= 0 || !mkdtemp(runtime)) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return;
    }
    runtime_ = runtime;
    const std::string display = ":" + std::to_string(std::atoi(buf));
    connection_ = xcb_connect(display.c_str(), nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
    env_.push_back("DISPLAY=" + display);
    env_.push_back("XDG_RUNTIME_DIR=" + runtime_);
    env_.push_back("XDG_CONFIG_HOME=" + runtime_);
}

PrivateDisplay::~PrivateDisplay()
{
    if (connection_)
        xcb_disconnect(connection_);
    if (xvfb_ > 0) {
        kill(xvfb_, SIGTERM);
        waitpid(xvfb_, nullptr, 0);
    }
    if (!runtime_.empty() && std::system(("rm -rf " + runtime_).c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", runtime_.c_str());
}

}  // namespace bench
