// Running a piece of a test in a forked child (as another user, under a limit)
// and taking its answer back through a pipe.
#pragma once

#include <QByteArray>

#include <cstdio>
#include <functional>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

// Runs body in a child process and gives back the bytes it returns; nothing when
// it returns nothing, or the child fails to hand them over or dies.
inline std::optional<QByteArray> InChild(const std::function<std::optional<QByteArray>()>& body)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return std::nullopt;
    std::fflush(nullptr);  // nothing buffered is written twice
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        const std::optional<QByteArray> answer = body();
        ::_exit(answer && ::write(pipeFds[1], answer->constData(), answer->size()) == answer->size() ? 0 : 1);
    }
    ::close(pipeFds[1]);
    QByteArray answer;
    char block[4096];
    for (ssize_t n; child > 0 && (n = ::read(pipeFds[0], block, sizeof block)) > 0;)
        answer.append(block, n);
    ::close(pipeFds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return answer;
}

// A value of plain bytes as they stand, to pass through InChild.
template <typename T>
QByteArray AsBytes(const T& value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}
