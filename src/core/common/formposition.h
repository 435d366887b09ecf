#pragma once
// Window positions in the settings file: "left,top,width,height".
#include <string>

namespace sheaf {

struct FormRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FormRect&) const = default;
};

// Parses "%d,%d,%d,%d". Throws SheafError when an item is missing or is not
// an integer; rect keeps the items applied before the failing one, as the
// window does when it applies them one by one.
void parseFormPosition(const std::string& value, FormRect& rect);

// The value written for a window's restored bounds: left and top raised to 0.
std::string formatFormPosition(const FormRect& restoredBounds);

} // namespace sheaf
