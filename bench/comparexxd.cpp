// Dumps a file in-process and with xxd, several times each, and prints both median
// times and the ratio. Ours reads the file and makes every character of its three
// texts, in blocks, as xxd writes all of its dump. Run through bench/compare-xxd FILE.
#include "framework/files/wholefile.h"
#include "track/dumprows.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t m = v.size() / 2;
  return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

// xxd FILE >/dev/null; false when it cannot be started or fails.
bool RunXxd(const char* path) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  char* argv[] = {const_cast<char*>("xxd"), const_cast<char*>(path), nullptr};
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, "xxd", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return false;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Makes every character of a computed text, a block at a time; gives their count.
qsizetype RenderAll(const textfn::RowText& text) {
  static char block[1 << 16];
  for (qsizetype at = 0; at < text.size(); at += sizeof block)
    text.render(at, qMin<qsizetype>(sizeof block, text.size() - at), block);
  return text.size() + (block[0] == 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: compare-xxd FILE [RUNS]\n");
    return 2;
  }
  const char* path = argv[1];
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  const QString file = QString::fromLocal8Bit(path);

  std::vector<double> ours, xxd;
  qsizetype checksum = 0;
  QElapsedTimer timer;
  for (int i = 0; i < runs; ++i) {
    timer.start();
    const WholeFile read = ReadWholeFile(file);  // reading the file is part of the time
    if (read.problem != WholeFile::Problem::None) {
      std::fprintf(stderr, "cannot read %s\n", path);
      return 1;
    }
    const track::DumpTexts dump = track::DumpRows(read.bytes);
    checksum += RenderAll(*dump.address) + RenderAll(*dump.hex) + RenderAll(*dump.characters);
    ours.push_back(timer.nsecsElapsed() / 1e9);

    timer.start();
    if (!RunXxd(path)) {
      std::fprintf(stderr, "xxd failed on %s\n", path);
      return 1;
    }
    xxd.push_back(timer.nsecsElapsed() / 1e9);
  }
  const double a = Median(ours), b = Median(xxd);
  std::printf("file: %s, %lld bytes\n", path, static_cast<long long>(QFileInfo(file).size()));
  std::printf("dump texts made: %lld characters per run\n", static_cast<long long>(checksum / runs));
  std::printf("quorvanel dump median: %.4f s over %d runs\n", a, runs);
  std::printf("xxd median: %.4f s over %d runs\n", b, runs);
  std::printf("speedup-vs-xxd: %.2f\n", b / a);
  return 0;
}
