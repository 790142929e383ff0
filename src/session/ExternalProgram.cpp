#include "session/ExternalProgram.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tolvane {

ExternalProgram::~ExternalProgram()
{
    if (running())
        finish();
}

bool ExternalProgram::isInstalled(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= directories.size()) {
        std::size_t end = directories.find(':', begin);
        if (end == std::string::npos)
            end = directories.size();
        const std::string directory = end > begin ? directories.substr(begin, end - begin) : ".";
        std::string candidate = directory;
        candidate += "/";
        candidate += name;
        struct stat info = {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

int ExternalProgram::run(const std::vector<std::string>& arguments, const std::string& logFile)
{
    ExternalProgram program;
    if (!program.start(arguments, false, logFile))
        return -1;
    return program.finish();
}

bool ExternalProgram::start(const std::vector<std::string>& arguments, bool feedInput, const std::string& logFile)
{
    return launch(arguments, feedInput, logFile, false);
}

bool ExternalProgram::startKeepingOutput(const std::vector<std::string>& arguments, bool feedInput)
{
    return launch(arguments, feedInput, "", true);
}

bool ExternalProgram::launch(const std::vector<std::string>& arguments, bool feedInput, const std::string& logFile,
                             bool keepOutput)
{
    spawnError = EINVAL;
    if (running() || arguments.empty())
        return false;
    kept.clear();
    ending.clear();
    // Close-on-exec keeps the parent's pipe ends out of this and any later
    // child: a later child holding them would hide this one's end.
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if ((feedInput && pipe2(input, O_CLOEXEC) != 0) || (keepOutput && pipe2(output, O_CLOEXEC) != 0)) {
        spawnError = errno;
        for (const int end : {input[0], input[1], output[0], output[1]})
            if (end >= 0)
                close(end);
        return false;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedInput)
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (keepOutput) {
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
    } else if (!logFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }

    std::vector<char*> argv;
    argv.reserve(arguments.size());
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = -1;
    const int result = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    for (const int childEnd : {input[0], output[1]})
        if (childEnd >= 0)
            close(childEnd);
    if (result != 0) {
        spawnError = result;
        for (const int end : {input[1], output[0]})
            if (end >= 0)
                close(end);
        return false;
    }
    spawnError = 0;
    processId = child;
    inputDescriptor = input[1];
    if (keepOutput)
        outputReader = std::thread(&ExternalProgram::collectOutput, this, output[0]);
    return true;
}

// Runs until the program and everything it started have closed their output.
void ExternalProgram::collectOutput(int descriptor)
{
    char chunk[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        kept.append(chunk, static_cast<std::size_t>(count));
        // Trimmed in large steps, so that a chatty program costs no copying
        // per chunk.
        if (kept.size() > 2 * kKeptOutputBytes)
            kept.erase(0, kept.size() - kKeptOutputBytes);
    }
    close(descriptor);
    if (kept.size() > kKeptOutputBytes)
        kept.erase(0, kept.size() - kKeptOutputBytes);
}

bool ExternalProgram::write(const void* data, std::size_t bytes)
{
    const char* next = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t written = ::write(inputDescriptor, next, bytes);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += written;
        bytes -= static_cast<std::size_t>(written);
    }
    return true;
}

int ExternalProgram::finish()
{
    if (inputDescriptor >= 0)
        close(inputDescriptor);
    inputDescriptor = -1;
    if (!running())
        return -1;
    int status = 0;
    pid_t waited = -1;
    do {
        waited = waitpid(processId, &status, 0);
    } while (waited < 0 && errno == EINTR);
    processId = -1;
    if (outputReader.joinable())
        outputReader.join();
    if (waited < 0) {
        ending = "not waited for (" + std::string(std::strerror(errno)) + ")";
        return -1;
    }
    if (WIFSIGNALED(status)) {
        ending = "killed by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
        return -1;
    }
    if (!WIFEXITED(status))
        return -1;
    ending = "exit code " + std::to_string(WEXITSTATUS(status));
    return WEXITSTATUS(status);
}

}  // namespace tolvane
