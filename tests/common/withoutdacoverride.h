// Root without the capability to write in any folder, for tests of folders that
// refuse a change.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Root writes in any folder; without the capability that lets it, it meets a
// read-only folder as every other user does. Nothing to drop for those.
struct WithoutDacOverride {
    WithoutDacOverride()
    {
        syscall(SYS_capget, &header, saved);
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &header, reduced);
    }
    ~WithoutDacOverride() { syscall(SYS_capset, &header, saved); }
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2]{};
};
