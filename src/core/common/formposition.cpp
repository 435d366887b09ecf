#include "common/formposition.h"

#include "common/error.h"

#include <charconv>
#include <vector>

namespace sheaf {

void parseFormPosition(const std::string& value, FormRect& rect)
{
    std::vector<std::string> items;
    size_t start = 0;
    for (;;) {
        const size_t comma = value.find(',', start);
        items.push_back(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    int* fields[] = {&rect.left, &rect.top, &rect.width, &rect.height};
    for (size_t i = 0; i < 4; ++i) {
        if (i >= items.size())
            throw SheafError("List index out of bounds (" + std::to_string(i) + ")");
        std::string item = items[i];
        while (!item.empty() && item.front() == ' ')
            item.erase(item.begin());
        while (!item.empty() && item.back() == ' ')
            item.pop_back();
        int v = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), v);
        if (item.empty() || ec != std::errc() || end != item.data() + item.size())
            throw SheafError("'" + item + "' is not a valid integer value");
        *fields[i] = v;
    }
}

std::string formatFormPosition(const FormRect& r)
{
    return std::to_string(r.left < 0 ? 0 : r.left) + "," + std::to_string(r.top < 0 ? 0 : r.top) + "," +
           std::to_string(r.width) + "," + std::to_string(r.height);
}

} // namespace sheaf
