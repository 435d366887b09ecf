// Any bytes as a settings file: parsing, looking values up and writing a key
// must not crash, and a write must leave the other sections as they were.
#include "common/inifile.h"
#include "common/text.h"

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const sheaf::IniDocument doc = sheaf::IniDocument::parse(text);
    const sheaf::IniDocument reparsed = sheaf::IniDocument::parse(doc.serialize());
    if (reparsed.lines.size() != doc.lines.size() || reparsed.sections.size() != doc.sections.size())
        std::abort();

    static const std::string path = "/tmp/sheaf-fuzz-" + std::to_string(::getpid()) + ".ini";
    std::ofstream(path, std::ios::binary) << text;
    const sheaf::IniFile ini(path);
    const std::string target = "FuzzTarget";
    std::vector<std::vector<std::pair<std::string, std::string>>> before;
    for (std::size_t i = 0; i < doc.sections.size() && i < 4; ++i)
        before.push_back(ini.readSectionValues(doc.sections[i]));
    ini.writeString(target, "Key", "value");
    if (ini.readString(target, "key", "") != "value")
        std::abort();
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!sheaf::equalsNoCase(doc.sections[i], target) && ini.readSectionValues(doc.sections[i]) != before[i])
            std::abort();
    return 0;
}
