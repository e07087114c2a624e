/* Faults around the copy of a file's earlier bytes, loaded into the built program
 * with LD_PRELOAD, for the file named by QV_EARLIER_PATH (as /proc/self/fd shows it):
 *   QV_EARLIER_ALLOC_FAIL=1     once bytes were written to it, every allocation of
 *                               the thread that wrote them fails, until the file is
 *                               closed, as when memory runs out midway; the count of
 *                               refusals goes to stderr then;
 *   QV_EARLIER_CLOSE_FAIL=1     its close, once open for writing, fails with EIO
 *                               (the file is closed all the same), as a network file
 *                               system's may;
 *   QV_EARLIER_UNLINK_FAIL=DIR/ removing anything in that folder fails with EACCES. */
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {

void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);

static volatile int failing;
static pthread_t writer;
static long refused;

static int Set(const char* name) { const char* v = getenv(name); return v && *v && strcmp(v, "0") != 0; }

/* Where fd leads, in path; 0 when it cannot be read. */
static int PathOf(int fd, char* path, size_t size)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, size - 1);
    if (n < 0)
        return 0;
    path[n] = 0;
    return 1;
}

static int IsTarget(int fd)
{
    const char* target = getenv("QV_EARLIER_PATH");
    char path[4096];
    return target && *target && PathOf(fd, path, sizeof path) && strcmp(path, target) == 0;
}

static int Refuse(void)
{
    if (!failing || !pthread_equal(pthread_self(), writer))
        return 0;
    ++refused;
    errno = ENOMEM;
    return 1;
}

void* malloc(size_t size) { return Refuse() ? NULL : __libc_malloc(size); }
void* calloc(size_t n, size_t size) { return Refuse() ? NULL : __libc_calloc(n, size); }
void* realloc(void* p, size_t size) { return Refuse() ? NULL : __libc_realloc(p, size); }

static void Wrote(int fd, ssize_t n)
{
    if (n > 0 && !failing && Set("QV_EARLIER_ALLOC_FAIL") && IsTarget(fd)) {
        writer = pthread_self();
        failing = 1;
    }
}

ssize_t write(int fd, const void* data, size_t size)
{
    const ssize_t n = syscall(SYS_write, fd, data, size);
    Wrote(fd, n);
    return n;
}
ssize_t pwrite(int fd, const void* data, size_t size, off_t offset)
{
    const ssize_t n = syscall(SYS_pwrite64, fd, data, size, offset);
    Wrote(fd, n);
    return n;
}
ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) { return pwrite(fd, data, size, offset); }

int close(int fd)
{
    const int mode = fcntl(fd, F_GETFL);
    const int target = mode >= 0 && (mode & O_ACCMODE) != O_RDONLY && IsTarget(fd);
    const int result = (int)syscall(SYS_close, fd);
    if (target && failing) {
        failing = 0;
        char line[64];
        const int n = snprintf(line, sizeof line, "earliershim: refused %ld allocations\n", refused);
        (void)!syscall(SYS_write, 2, line, (size_t)n);
    }
    if (target && result == 0 && Set("QV_EARLIER_CLOSE_FAIL")) {
        errno = EIO;
        return -1;
    }
    return result;
}

int unlinkat(int dirfd, const char* name, int flags)
{
    const char* folder = getenv("QV_EARLIER_UNLINK_FAIL");
    char path[4096];
    if (folder && *folder && PathOf(dirfd, path, sizeof path - 1)) {
        strcat(path, "/");
        if (strcmp(path, folder) == 0) {
            errno = EACCES;
            return -1;
        }
    }
    return (int)syscall(SYS_unlinkat, dirfd, name, flags);
}

}  /* extern "C" */
