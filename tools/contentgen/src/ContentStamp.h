#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tolvane::content {

// Remembers what the stage was generated from: a hash over the generator's
// own executable and every input file. Matching stamp and present outputs
// mean there is nothing to do.
class ContentStamp {
public:
    explicit ContentStamp(std::string stampPath) : path_(std::move(stampPath)) {}

    static std::uint64_t hashFiles(const std::vector<std::string>& files);

    bool matches(std::uint64_t hash) const;
    void write(std::uint64_t hash) const;

private:
    std::string path_;
};

}  // namespace tolvane::content
