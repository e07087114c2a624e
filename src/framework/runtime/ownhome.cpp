// UseOwnHome over stat(2) and the password database, with nothing of Qt: it runs
// before Qt has read the environment.
#include "framework/runtime/ownhome.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <sys/stat.h>

namespace {

bool Own(const char* path, uid_t uid)
{
    if (!path || path[0] != '/')
        return false;  // relative: ignored by the XDG rules, and nobody's folder
    std::string at = path;
    bool nearest = true;
    for (;;) {
        struct stat st {};
        if (stat(at.c_str(), &st) == 0) {
            if (nearest && (!S_ISDIR(st.st_mode) || st.st_uid != uid))
                return false;
            if (st.st_uid != uid && st.st_uid != 0)
                return false;
            nearest = false;
        } else if (errno != ENOENT) {
            return false;  // not to be looked into, so not to be trusted either
        }
        if (at == "/")
            return true;
        const std::string::size_type slash = at.find_last_of('/');
        at.resize(slash == 0 ? 1 : slash);
    }
}

}  // namespace

void UseOwnHome(uid_t uid)
{
    if (!Own(std::getenv("HOME"), uid)) {
        const passwd* user = getpwuid(uid);
        if (user && user->pw_dir && user->pw_dir[0] == '/')
            setenv("HOME", user->pw_dir, 1);
        else
            unsetenv("HOME");
    }
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
        if (std::getenv(name) && !Own(std::getenv(name), uid))
            unsetenv(name);
}
