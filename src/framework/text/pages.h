// Filling a large new array: its pages are taken in one call before it is written,
// rather than one fault at a time while it is. Only a hint (Linux 5.14 on); a
// kernel without it leaves the pages to the faults.
#pragma once

#include <QtGlobal>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace textfn {

inline void TakePagesAtOnce(void* data, qsizetype bytes) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t from = (begin + page - 1) & ~(page - 1);
  const std::uintptr_t to = (begin + static_cast<std::uintptr_t>(bytes)) & ~(page - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
}

}  // namespace textfn
