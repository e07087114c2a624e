// The home of the user the program runs as. Run as root in another user's
// environment (su without -, sudo -E), HOME and the XDG folders still name that
// user's, and what the program and Qt make there (the cache, the file dialog's
// settings) would be root's, shutting the user's own programs out of it.
#pragma once

#include <sys/types.h>
#include <unistd.h>

// First thing in main, before anything reads the environment. A HOME that is not
// uid's own is replaced by uid's home from the password database (unset when it
// has none), and XDG_CONFIG_HOME, XDG_CACHE_HOME, XDG_STATE_HOME and XDG_DATA_HOME
// are unset where they are not uid's, so that their defaults under that home
// apply. A path is uid's when it is absolute, the folder it names (or, where that
// is yet to be made, the nearest one above it that exists) is uid's, and no
// folder above belongs to another user than uid or root, whose folders (/,
// /home) hold everyone's.
void UseOwnHome(uid_t uid = geteuid());
