#include "capture/OutputFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace tolvane {

namespace {

struct OpenFile {
    explicit OpenFile(const std::string& path) : file(std::fopen(path.c_str(), "rb")) {}
    ~OpenFile()
    {
        if (file != nullptr)
            std::fclose(file);
    }
    long size() const
    {
        if (file == nullptr || std::fseek(file, 0, SEEK_END) != 0)
            return -1;
        return std::ftell(file);
    }
    bool read(long offset, unsigned char* into, std::size_t bytes) const
    {
        return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(into, 1, bytes, file) == bytes;
    }
    std::FILE* file;
};

std::uint64_t bigEndian(const unsigned char* bytes, int count)
{
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

}  // namespace

bool isCompletePng(const std::string& path)
{
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static const unsigned char closing[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    const OpenFile png(path);
    const long size = png.size();
    unsigned char head[8];
    unsigned char tail[12];
    return size >= 20 && png.read(0, head, sizeof head) && png.read(size - 12, tail, sizeof tail) &&
           std::memcmp(head, signature, sizeof head) == 0 && std::memcmp(tail, closing, sizeof tail) == 0;
}

std::vector<std::string> isoMediaBoxes(const std::string& path)
{
    const OpenFile media(path);
    const long size = media.size();
    std::vector<std::string> types;
    if (size <= 0)
        return types;
    std::uint64_t offset = 0;
    while (offset < static_cast<std::uint64_t>(size)) {
        unsigned char header[16];
        if (offset + 8 > static_cast<std::uint64_t>(size) || !media.read(static_cast<long>(offset), header, 8))
            return {};
        std::uint64_t boxSize = bigEndian(header, 4);
        std::uint64_t headerSize = 8;
        if (boxSize == 1) {
            if (!media.read(static_cast<long>(offset) + 8, header + 8, 8))
                return {};
            boxSize = bigEndian(header + 8, 8);
            headerSize = 16;
        } else if (boxSize == 0) {
            boxSize = static_cast<std::uint64_t>(size) - offset;
        }
        if (boxSize < headerSize || boxSize > static_cast<std::uint64_t>(size) - offset)
            return {};
        types.emplace_back(reinterpret_cast<const char*>(header + 4), 4);
        offset += boxSize;
    }
    return types;
}

bool isCompleteIsoMedia(const std::string& path)
{
    const std::vector<std::string> types = isoMediaBoxes(path);
    return std::find(types.begin(), types.end(), "moov") != types.end();
}

bool isStreamableIsoMedia(const std::string& path)
{
    const std::vector<std::string> types = isoMediaBoxes(path);
    const auto index = std::find(types.begin(), types.end(), "moov");
    return index != types.end() && std::find(types.begin(), index, "mdat") == index;
}

}  // namespace tolvane
