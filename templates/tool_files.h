#pragma once
// Whole-file reading and writing for the build-time tools. A tool's output is
// written beside its target and renamed, so a failed build step never leaves
// a half-written file for the next step to take as finished.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zandrel::tools {

inline std::vector<unsigned char> readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": cannot open for reading");
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw std::runtime_error(path + ": read error");
    return bytes;
}

inline void writeAll(const std::string &path, std::string_view bytes)
{
    const std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(partial.c_str());
            throw std::runtime_error(path + ": cannot write");
        }
    }
    std::error_code ec;
    std::filesystem::rename(partial, path, ec);
    if (ec) {
        std::remove(partial.c_str());
        throw std::runtime_error(path + ": cannot write: " + ec.message());
    }
}

inline void writeAll(const std::string &path, const std::vector<unsigned char> &bytes)
{
    writeAll(path, std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
}

}  // namespace zandrel::tools
