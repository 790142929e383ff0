#include "capture/ExternalProgram.h"

#include <cerrno>
#include <cstdlib>
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
        const std::string candidate = directory + "/" + name;
        struct stat info {};
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
    if (running() || arguments.empty())
        return false;
    int pipeEnds[2] = {-1, -1};
    // Close-on-exec keeps the write end out of this and any later child.
    if (feedInput && pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedInput)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (!logFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    }

    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t child = -1;
    const int result = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (feedInput)
        close(pipeEnds[0]);
    if (result != 0) {
        if (feedInput)
            close(pipeEnds[1]);
        return false;
    }
    processId = child;
    inputDescriptor = feedInput ? pipeEnds[1] : -1;
    return true;
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
    if (waited < 0 || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace tolvane
