#pragma once

#include <cstddef>
#include <string>
#include <thread>
#include <vector>

namespace tolvane {

// A helper program (ffmpeg, gnuplot) run as a child process, optionally fed
// through a pipe on its standard input. Its standard output and error go to
// a log file when one is named, or are kept in memory, so they do not mix
// with the progress bar. The caller should ignore SIGPIPE, so that a helper
// that dies makes write() fail instead of ending the whole process.
class ExternalProgram {
public:
    // The most of a program's output startKeepingOutput() holds: its end,
    // where the reason for a failure is.
    static constexpr std::size_t kKeptOutputBytes = std::size_t{256} * 1024;

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
    // input is a pipe that write() fills. Returns false when it cannot start;
    // startError() then holds the errno.
    bool start(const std::vector<std::string>& arguments, bool feedInput, const std::string& logFile);

    // Like start(), but the program's output is read into memory, for
    // output() once it has finished. A disk that fills up then cannot take
    // the program's report of that with it.
    bool startKeepingOutput(const std::vector<std::string>& arguments, bool feedInput);

    // Writes all `bytes` to the program's input; false when the program has
    // closed it (usually because it failed).
    bool write(const void* data, std::size_t bytes);

    // Closes the input, waits for the program and returns its exit code (-1
    // when it was not running or did not exit normally).
    int finish();

    bool running() const { return processId > 0; }
    int startError() const { return spawnError; }
    // After finish(): what the program wrote with startKeepingOutput(), and
    // how it ended ("exit code 1", "killed by signal 9 (Killed)").
    const std::string& output() const { return kept; }
    const std::string& howItEnded() const { return ending; }

private:
    bool launch(const std::vector<std::string>& arguments, bool feedInput, const std::string& logFile, bool keepOutput);
    void collectOutput(int descriptor);

    int processId = -1;
    int inputDescriptor = -1;  // write end of the input pipe, -1 = none
    int spawnError = 0;
    std::thread outputReader;  // fills `kept` while the program runs
    std::string kept;
    std::string ending;
};

}  // namespace tolvane
