#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tolvane {

// A helper program (ffmpeg, gnuplot) run as a child process, optionally fed
// through a pipe on its standard input. Its standard output and error go to
// a log file when one is named, so they do not mix with the progress bar.
// The caller should ignore SIGPIPE, so that a helper that dies makes write()
// fail instead of ending the whole process.
class ExternalProgram {
public:
    ExternalProgram() = default;
    // Waits for a program still running (after closing its input).
    ~ExternalProgram();

    ExternalProgram(const ExternalProgram&) = delete;
    ExternalProgram& operator=(const ExternalProgram&) = delete;

    // True when `name` is an executable file in one of PATH's directories.
    static bool isInstalled(const std::string& name);

    // Runs `arguments` to the end without input; returns its exit code, or -1
    // when it could not be started or did not exit normally.
    static int run(const std::vector<std::string>& arguments, const std::string& logFile);

    // Starts arguments[0], looked up in PATH. With `feedInput` its standard
    // input is a pipe that write() fills. Returns false when it cannot start.
    bool start(const std::vector<std::string>& arguments, bool feedInput, const std::string& logFile);

    // Writes all `bytes` to the program's input; false when the program has
    // closed it (usually because it failed).
    bool write(const void* data, std::size_t bytes);

    // Closes the input, waits for the program and returns its exit code (-1
    // when it was not running or did not exit normally).
    int finish();

    bool running() const { return processId > 0; }

private:
    int processId = -1;
    int inputDescriptor = -1;  // write end of the input pipe, -1 = none
};

}  // namespace tolvane
