// What the launch benchmarks share: a private Xvfb watched for mapped windows, the
// programs they start on it, closing a window the way a window manager would, and
// reading a process's peak memory.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>
#include <xcb/xcb.h>

namespace bench {

double Median(std::vector<double> v);

// Starts args[0] from the PATH with that environment, stdout and stderr to
// /dev/null; fd3, when given, becomes its descriptor 3. Gives -1 when it cannot.
pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int fd3 = -1);

xcb_atom_t Atom(xcb_connection_t* c, const char* name);

// Asks the window to close, as a window manager's close button does.
void Close(xcb_connection_t* c, xcb_window_t w);

// The process's peak resident memory so far (VmHWM), in MiB.
double PeakResidentMiB(pid_t pid);

// build/quorvanel, found beside the running benchmark in build/bench/.
std::string DefaultQuorvanel();

// An Xvfb of its own on a free display, with a connection that hears every window
// mapped on it, and the environment for programs started there: the caller's, with
// a private runtime and configuration folder so that no earlier run's state counts.
class PrivateDisplay {
public:
    explicit PrivateDisplay(const char* screenSize);
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    bool Ok() const { return connection_ != nullptr; }
    xcb_connection_t* Connection() const { return connection_; }
    const std::vector<std::string>& Environment() const { return env_; }

private:
    pid_t xvfb_ = -1;
    xcb_connection_t* connection_ = nullptr;
    std::string runtime_;
    std::vector<std::string> env_;
};

}  // namespace bench
