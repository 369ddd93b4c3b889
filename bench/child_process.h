#pragma once
// Figures taken in a fresh process: the benchmark program runs itself again with a child mode
// and reads what the child prints.

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// Runs this program again with `args` (stdin closed, stderr passed through) and returns its
// standard output. Empty when it could not be run or did not end with exit code 0.
std::string RunSelf(const std::vector<std::string>& args);

// Runs `command` through /bin/sh with its output discarded; true on exit code 0.
bool RunShell(const std::string& command);

// Peak resident memory of this process so far, in bytes (VmHWM).
size_t PeakResidentBytes();

// Monotonic clock in seconds.
double Now();

// The file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

// A fresh private directory under the system's temporary directory, removed with its files by
// the destructor.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace bench
