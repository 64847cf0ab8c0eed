// lzss: the build's compressor for built-in items.
//
//   lzss compress IN OUT     IN compressed into the stored item OUT
//   lzss decompress IN OUT   the stored item IN expanded into OUT
//
// Every item it writes has just been expanded again with the program's own
// decoder and compared with its input, so a build can never embed an item
// that the program would read differently. A failure leaves no OUT behind and
// ends with one line on standard error and a non-zero exit status.

#include "platform/failure.h"
#include "templates/lzss_decoder.h"
#include "templates/lzss_encoder.h"
#include "templates/tool_files.h"

#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using zandrel::tools::readAll;
using zandrel::tools::writeAll;

using Bytes = std::vector<unsigned char>;



Bytes compress(const std::string &inPath)
{
    const Bytes page = readAll(inPath);
    Bytes item;
    try {
        item = zandrel::lzss::compressItem(page);
    } catch (const std::invalid_argument &e) {
        throw std::runtime_error(inPath + ": cannot compress: " + e.what());
    }
    if (zandrel::lzss::decompressed(item) != page)
        throw std::runtime_error(inPath + ": the compressed item does not expand back to the input");
    return item;
}

Bytes decompress(const std::string &inPath)
{
    Bytes bytes = readAll(inPath);
    try {
        zandrel::lzss::decompress(bytes);
    } catch (const zandrel::Failure &e) {
        throw std::runtime_error(inPath + ": " + e.description());
    }
    return bytes;
}

}  // namespace

int main(int argc, char **argv)
{
    const std::string usage = "usage: lzss compress|decompress IN OUT";
    if (argc != 4) {
        std::cerr << usage << '\n';
        return 2;
    }
    const std::string command = argv[1];
    try {
        if (command == "compress")
            writeAll(argv[3], compress(argv[2]));
        else if (command == "decompress")
            writeAll(argv[3], decompress(argv[2]));
        else {
            std::cerr << usage << '\n';
            return 2;
        }
    } catch (const std::exception &e) {
        std::cerr << "lzss: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
