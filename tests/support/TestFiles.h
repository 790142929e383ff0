#pragma once

#include <string>

namespace tolvane::test {

// A fresh scratch directory under the system's temporary directory.
// Returns an absolute path without a trailing '/'.
std::string makeScratchDirectory(const std::string& prefix);

// A scratch directory for one test's files, made when constructed and
// removed with everything in it when destroyed; a test fixture inherits it.
class ScratchFiles {
public:
    explicit ScratchFiles(const std::string& prefix);
    ~ScratchFiles();
    ScratchFiles(const ScratchFiles&) = delete;
    ScratchFiles& operator=(const ScratchFiles&) = delete;

    // Writes `text` to the file `name` in the directory; returns its path.
    std::string write(const std::string& name, const std::string& text) const;
    // The path of `name` in the directory.
    std::string path(const std::string& name) const;

private:
    std::string directory_;
};

// Writes bytes to a file, creating parent directories.
void writeTextFile(const std::string& path, const std::string& text);

// The whole content of a file, or an empty string when it cannot be read.
std::string readTextFile(const std::string& path);

// Runs `body` with standard output captured and returns what it printed.
template <typename Body>
std::string captureStdout(Body body);

}  // namespace tolvane::test

#include <cstdio>
#include <gtest/gtest.h>

template <typename Body>
std::string tolvane::test::captureStdout(Body body)
{
    ::testing::internal::CaptureStdout();
    body();
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}
