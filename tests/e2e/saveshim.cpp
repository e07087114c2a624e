/* Faults for the save tests, loaded into the built program with LD_PRELOAD. They
 * touch only the file named by QV_SHIM_PATH (as /proc/self/fd shows it), or with
 * a path that ends in "/", every file in that folder:
 *   QV_SHIM_FSYNC_FAILURES=N  its first N syncs fail with EROFS (-1: all of them),
 *                             as on a file system turned read-only after an error;
 *   QV_SHIM_FSYNC_PASSES=N    ... once its first N syncs went through;
 *   QV_SHIM_KILL_AFTER=BYTES  the process is killed (SIGKILL) once that many bytes
 *                             were written to it, as a crash or a power cut would;
 *   QV_SHIM_SLOW_MS=MS        its writes go in 64 KiB pieces, each after a pause,
 *                             as on a slow disk. */
#include <dlfcn.h>
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

extern "C" {

static long long written;
static long long syncFailures;
static long long syncPasses;
static int syncFailuresRead;

static int IsTarget(int fd)
{
    const char* target = getenv("QV_SHIM_PATH");
    if (!target || !*target)
        return 0;
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n < 0)
        return 0;
    path[n] = 0;
    const size_t length = strlen(target);
    return target[length - 1] == '/' ? strncmp(path, target, length) == 0 : strcmp(path, target) == 0;
}

static long long Setting(const char* name, long long otherwise)
{
    const char* value = getenv(name);
    return value && *value ? atoll(value) : otherwise;
}

static void Pause(void)
{
    const long long ms = Setting("QV_SHIM_SLOW_MS", 0);
    if (ms <= 0)
        return;
    struct timespec t {};
    t.tv_sec = static_cast<time_t>(ms / 1000);
    t.tv_nsec = static_cast<long>(ms % 1000 * 1000000);
    nanosleep(&t, NULL);
}

static void Count(ssize_t n)
{
    if (n <= 0)
        return;
    written += n;
    const long long after = Setting("QV_SHIM_KILL_AFTER", -1);
    if (after >= 0 && written >= after)
        kill(getpid(), SIGKILL);
}

typedef ssize_t (*PwriteFn)(int, const void*, size_t, off_t);
typedef ssize_t (*WriteFn)(int, const void*, size_t);
typedef int (*SyncFn)(int);

/* A write to the file: in slow pieces when asked, counted as it goes. */
static ssize_t Written(int fd, const void* data, size_t size, off_t offset, int positioned)
{
    static PwriteFn realPwrite;
    static WriteFn realWrite;
    if (!realPwrite) {
        realPwrite = (PwriteFn)dlsym(RTLD_NEXT, "pwrite64");
        realWrite = (WriteFn)dlsym(RTLD_NEXT, "write");
    }
    if (!IsTarget(fd))
        return positioned ? realPwrite(fd, data, size, offset) : realWrite(fd, data, size);
    const size_t piece = Setting("QV_SHIM_SLOW_MS", 0) > 0 ? size_t(65536) : size;
    size_t done = 0;
    while (done < size || size == 0) {
        Pause();
        const size_t k = size - done < piece ? size - done : piece;
        const ssize_t n = positioned ? realPwrite(fd, (const char*)data + done, k, offset + (off_t)done)
                                     : realWrite(fd, (const char*)data + done, k);
        if (n < 0)
            return done > 0 ? (ssize_t)done : n;
        Count(n);
        done += (size_t)n;
        if (size == 0 || (size_t)n < k)
            break;
    }
    return (ssize_t)done;
}

ssize_t write(int fd, const void* data, size_t size) { return Written(fd, data, size, 0, 0); }
ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) { return Written(fd, data, size, offset, 1); }
ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) { return Written(fd, data, size, offset, 1); }

static int Synced(int fd, const char* name)
{
    SyncFn real = (SyncFn)dlsym(RTLD_NEXT, name);
    if (!syncFailuresRead) {
        syncFailures = Setting("QV_SHIM_FSYNC_FAILURES", 0);
        syncPasses = Setting("QV_SHIM_FSYNC_PASSES", 0);
        syncFailuresRead = 1;
    }
    if (syncPasses > 0 && IsTarget(fd)) {
        --syncPasses;
        return real(fd);
    }
    if (syncFailures != 0 && IsTarget(fd)) {
        if (syncFailures > 0)
            --syncFailures;
        errno = EROFS;
        return -1;
    }
    return real(fd);
}

int fsync(int fd) { return Synced(fd, "fsync"); }
int fdatasync(int fd) { return Synced(fd, "fdatasync"); }

}  // extern "C"
