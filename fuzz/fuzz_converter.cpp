// Any page bytes with any settings file: the converter either converts or
// fails with a message; no crash, no hang, no read out of bounds.
#include "common/error.h"
#include "common/text.h"
#include "html/t2h.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The input is "settings \0\0 page"; without the separator it is all page.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find(std::string("\0\0", 2));
    const std::string settings = split == std::string::npos ? std::string() : input.substr(0, split);
    const std::string page = split == std::string::npos ? input : input.substr(split + 2);

    static const std::string path = "/tmp/sheaf-fuzz-" + std::to_string(::getpid()) + "-t2h.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << settings;
    sheaf::html::clsT2H converter(path);
    std::vector<std::string> result;
    try {
        converter.ConvertLines(sheaf::splitLines(page), result);
    } catch (const sheaf::SheafError&) {
    }
    return 0;
}
