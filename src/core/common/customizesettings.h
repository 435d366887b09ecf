#pragma once
// What the customize dialog writes: the user's settings and part of the
// project's HTML settings, in the dialog's order.
#include "common/colorset.h"

#include <string>
#include <vector>

namespace sheaf {

class IniFile;

struct CustomizeValues {
    std::string textFontName, textFontSize; // sizes as typed
    std::string treeFontName, treeFontSize;
    int tabWidth = 0, charSpace = 0, lineSpace = 0, customizer = 1;
    ColorSet colors;
    std::string functionKeys; // "0,1,2,..."
    std::vector<std::string> keywordLines, headerLines, searchLines, replaceLines;
    std::string quoteImage; // the path as chosen
};

// Writes the values. A font size that is not an integer stops the writing
// there with SheafError("'x' is not a valid integer value"): the keys before
// it are written, the others are not.
void applyCustomize(const IniFile& settings, const IniFile& htmlSettings, const std::string& imagesFolder,
                    const CustomizeValues& values);

} // namespace sheaf
