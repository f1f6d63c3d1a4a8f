#pragma once
// What the machine can still give, checked before the large allocations of a
// load and of the scene, so that a file claiming a huge mesh is refused with a
// message instead of ending the program.
#include <optional>
#include <string>

namespace litho {

// MemAvailable of /proc/meminfo, or the free pages when it cannot be read; the
// limit set by setMemoryLimit instead when one is set.
unsigned long long availableMemory();

// Makes availableMemory() return bytes (0: the machine's figure again), to try
// what a smaller machine does. Returns the limit it replaced.
unsigned long long setMemoryLimit(unsigned long long bytes);

// A limit set for as long as it lives (none when bytes is 0).
class ScopedMemoryLimit {
 public:
  explicit ScopedMemoryLimit(unsigned long long bytes) : set_(bytes != 0) {
    if (set_) previous_ = setMemoryLimit(bytes);
  }
  ~ScopedMemoryLimit() {
    if (set_) setMemoryLimit(previous_);
  }
  ScopedMemoryLimit(const ScopedMemoryLimit&) = delete;
  ScopedMemoryLimit& operator=(const ScopedMemoryLimit&) = delete;

 private:
  bool set_;
  unsigned long long previous_ = 0;
};

// "--memory-limit" megabytes as bytes; nothing when the text is not a positive whole number.
std::optional<unsigned long long> parseMemoryLimit(const std::string& megabytes);

// Bytes for a message: "512 KiB", "3.4 MiB", "8.0 GiB".
std::string memoryText(unsigned long long bytes);

// Empty when bytes fit in the memory available (availableMemory() when
// available is 0); otherwise "8.0 GiB are needed, 3.1 GiB are available".
std::optional<std::string> memoryShortfall(unsigned long long bytes, unsigned long long available = 0);

// a * b * ... in bytes, saturating instead of wrapping.
unsigned long long bytesOf(unsigned long long a, unsigned long long b, unsigned long long c = 1,
                           unsigned long long d = 1);

}  // namespace litho
