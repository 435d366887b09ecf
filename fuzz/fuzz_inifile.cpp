// Any bytes as a settings file: parsing, looking values up and writing a key
// must not crash, and a write must leave the other sections as they were.
// Everything happens in memory, so millions of runs take minutes.
#include "common/inifile.h"
#include "common/text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    sheaf::IniDocument doc = sheaf::IniDocument::parse(text);
    const sheaf::IniDocument reparsed = sheaf::IniDocument::parse(doc.serialize());
    if (reparsed.lines.size() != doc.lines.size() || reparsed.sections.size() != doc.sections.size())
        std::abort();

    const std::string target = "FuzzTarget";
    std::vector<std::vector<std::pair<std::string, std::string>>> before;
    for (std::size_t i = 0; i < doc.sections.size() && i < 4; ++i)
        before.push_back(doc.sectionValues(doc.sections[i]));
    doc.setValue(target, "Key", "value");
    // What a write leaves must read back the same after a round trip through the bytes.
    const sheaf::IniDocument written = sheaf::IniDocument::parse(doc.serialize());
    if (written.value(target, "key") != std::optional<std::string>("value"))
        std::abort();
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!sheaf::equalsNoCase(doc.sections[i], target) && written.sectionValues(doc.sections[i]) != before[i])
            std::abort();
    doc.eraseSection(target);
    doc.deleteKey(doc.sections.empty() ? target : doc.sections[0], "Key");
    return 0;
}
