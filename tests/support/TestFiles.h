#pragma once

#include <string>

namespace tolvane::test {

// A fresh scratch directory under the system's temporary directory.
// Returns an absolute path without a trailing '/'.
std::string makeScratchDirectory(const std::string& prefix);

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
