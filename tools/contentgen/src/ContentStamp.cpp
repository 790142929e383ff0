#include "ContentStamp.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tolvane::content {
namespace {

void fnv1a(std::uint64_t& h, const char* data, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 0x100000001B3ull;
    }
}

}  // namespace

std::uint64_t ContentStamp::hashFiles(const std::vector<std::string>& files)
{
    std::uint64_t h = 0xCBF29CE484222325ull;
    std::vector<char> buffer(1 << 16);
    for (const std::string& file : files) {
        fnv1a(h, file.data(), file.size() + 1);
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw std::runtime_error("cannot read " + file);
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
            fnv1a(h, buffer.data(), static_cast<std::size_t>(in.gcount()));
    }
    return h;
}

bool ContentStamp::matches(std::uint64_t hash) const
{
    std::ifstream in(path_);
    std::string stored;
    std::ostringstream expected;
    expected << std::hex << hash;
    return in >> stored && stored == expected.str();
}

void ContentStamp::write(std::uint64_t hash) const
{
    std::ofstream out(path_);
    out << std::hex << hash << "\n";
    if (!out)
        throw std::runtime_error("could not write " + path_);
}

}  // namespace tolvane::content
