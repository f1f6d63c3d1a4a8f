#include "core/load/memory.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "core/io/field_parse.h"

namespace litho {

namespace {

std::atomic<unsigned long long> limit{0};

unsigned long long fromMeminfo() {
  FILE* f = std::fopen("/proc/meminfo", "re");
  if (!f) return 0;
  char line[256];
  unsigned long long kib = 0;
  bool found = false;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
      found = true;
      break;
    }
  std::fclose(f);
  return found ? kib * 1024 : 0;
}

}  // namespace

unsigned long long availableMemory() {
  if (const unsigned long long l = limit.load()) return l;
  if (const unsigned long long m = fromMeminfo()) return m;
  const long pages = ::sysconf(_SC_AVPHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGE_SIZE);
  if (pages <= 0 || pageSize <= 0) return ~0ULL;
  return static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize);
}

unsigned long long setMemoryLimit(unsigned long long bytes) { return limit.exchange(bytes); }

std::optional<unsigned long long> parseMemoryLimit(const std::string& megabytes) {
  const auto mb = parseIntField(megabytes);
  if (!mb || *mb < 1) return std::nullopt;
  return static_cast<unsigned long long>(*mb) << 20;
}

std::string memoryText(unsigned long long bytes) {
  static const char* const kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  char buf[48];
  if (bytes < 1024) {
    std::snprintf(buf, sizeof buf, "%llu bytes", bytes);
    return buf;
  }
  double v = static_cast<double>(bytes) / 1024;
  int u = 0;
  while (v >= 1024 && u < 5) {
    v /= 1024;
    ++u;
  }
  std::snprintf(buf, sizeof buf, v < 10 ? "%.1f %s" : "%.0f %s", v, kUnits[u]);
  return buf;
}

std::optional<std::string> memoryShortfall(unsigned long long bytes, unsigned long long available) {
  if (available == 0) available = availableMemory();
  if (bytes <= available) return std::nullopt;
  return memoryText(bytes) + " are needed, " + memoryText(available) + " are available";
}

unsigned long long bytesOf(unsigned long long a, unsigned long long b, unsigned long long c, unsigned long long d) {
  unsigned long long r = a;
  for (const unsigned long long f : {b, c, d})
    if (__builtin_mul_overflow(r, f, &r)) return ~0ULL;
  return r;
}

}  // namespace litho
