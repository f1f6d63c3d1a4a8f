#include "core/io/line_scan.h"

#include <algorithm>

namespace litho {

HelperThread::HelperThread() : thread_([this] { loop(); }) {}

HelperThread::~HelperThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void HelperThread::start(std::function<void()> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = std::move(job);
    busy_ = true;
  }
  wake_.notify_all();
}

void HelperThread::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return !busy_; });
}

void HelperThread::loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || job_; });
    if (stop_) return;
    auto job = std::move(job_);
    job_ = nullptr;
    lock.unlock();
    job();
    lock.lock();
    busy_ = false;
    done_.notify_all();
  }
}

double balancedShare(double share, double mainSeconds, double helperSeconds, double readSeconds) {
  if (mainSeconds <= 0 || helperSeconds <= 0) return share;
  const double mainRate = share / mainSeconds, helperRate = (1 - share) / helperSeconds;
  const double balanced = (1 - readSeconds * helperRate) * mainRate / (mainRate + helperRate);
  return std::clamp(0.5 * share + 0.5 * balanced, 0.1, 0.9);
}

}  // namespace litho
