#include "base/Diagnostics.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace tolvane {

LoadingMessageHandler loadingMessageHandler = nullptr;

void logMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::putchar('\n');
}

std::string formatString(const char* format, va_list args)
{
    // A va_list may be consumed only once, so every attempt works on a copy.
    char stackBuffer[1024];
    std::vector<char> heapBuffer;
    char* buffer = stackBuffer;
    size_t size = sizeof stackBuffer;
    for (;;) {
        va_list attempt;
        va_copy(attempt, args);
        int n = std::vsnprintf(buffer, size, format, attempt);
        va_end(attempt);
        if (n < 0)
            return {};  // an encoding error, not a size problem
        if (static_cast<size_t>(n) < size)
            return {buffer, static_cast<size_t>(n)};
        size = static_cast<size_t>(n) + 1;
        heapBuffer.resize(size);
        buffer = heapBuffer.data();
    }
}

void postLoadingMessage(const char* format, ...)
{
    if (loadingMessageHandler == nullptr)
        return;
    va_list args;
    va_start(args, format);
    std::string message = formatString(format, args);
    va_end(args);
    loadingMessageHandler(message);
}

namespace {

// The console of a person at a terminal stays open until they have read the
// message; scripts and CI, with no terminal, are never kept waiting.
void waitForKeyWhenInteractive()
{
    if (!isatty(STDIN_FILENO))
        return;
    std::fputs("Press Enter to exit . . .", stdout);
    std::fflush(stdout);
    int c;
    do {
        c = std::getchar();
    } while (c != '\n' && c != EOF);
}

}  // namespace

void fatalError(const char* message, const char* driverLog)
{
    logMessage("%s", message);
    if (driverLog != nullptr)
        logMessage("%s", driverLog);
    std::fflush(stdout);
    waitForKeyWhenInteractive();
    std::exit(-1);
}

}  // namespace tolvane
