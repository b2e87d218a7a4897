#pragma once
// Opens a FIFO's writing end after a while, so that a reader stuck in open() comes free and the
// test reports the hang as a failure instead of hanging itself.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace vektest {

class FifoRescue {
 public:
  explicit FifoRescue(std::string path)
      : m_Thread([this, path] {
          const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
          while (!m_Done && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          while (!m_Done) {
            // Both ends, so that a writer stuck in open() comes free as well.
            for (int mode : {O_WRONLY, O_RDONLY}) {
              const int fd = ::open(path.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
              if (fd < 0) continue;
              // The writing end opens only while someone has the FIFO open for reading.
              if (mode == O_WRONLY) m_Rescued = true;
              ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
        }) {}
  ~FifoRescue() {
    m_Done = true;
    m_Thread.join();
  }
  // Whether a reader was found waiting on the FIFO (after the first 3 s).
  bool Rescued() const { return m_Rescued; }
  FifoRescue(const FifoRescue&) = delete;
  FifoRescue& operator=(const FifoRescue&) = delete;

 private:
  std::atomic<bool> m_Done{false};
  std::atomic<bool> m_Rescued{false};
  std::thread m_Thread;
};

}  // namespace vektest
