#pragma once
// Display colours as the settings file stores them: 00BBGGRR, or a system
// colour 800000nn (written as a negative number).
#include <array>
#include <cstdint>
#include <string>

namespace sheaf {

using TColor = std::int32_t;

namespace colors {
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005);
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clHighlight = static_cast<TColor>(0x8000000D);
inline constexpr TColor clHighlightText = static_cast<TColor>(0x8000000E);
inline constexpr TColor clBtnShadow = static_cast<TColor>(0x80000010);
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clBlue = 0xFF0000;
} // namespace colors

inline bool isSystemColor(TColor c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u; }

class IniFile;

// The main window's thirteen colours, in the order the settings name them.
struct ColorSet {
    enum Index {
        TextBack, TextFore, SelectBack, SelectFore, MailFore, UrlFore, CommentFore, ReturnFore, KeywordFore,
        AtMarkFore, SearchFore, TagFore, Tag3Fore, Count
    };
    std::array<TColor, Count> colors{};

    TColor operator[](Index i) const { return colors[i]; }
    static const std::array<const char*, Count>& keyNames(); // "TextBackColor" ... "Tag3ForeColor"
    static ColorSet scheme(int customizer);                  // 0 and 1; other values: scheme 1
    // Customizer 0 or 1 gives that fixed scheme; any other value reads the
    // thirteen keys of [Customize], each defaulting to scheme 1.
    static ColorSet load(const IniFile& ini);
};

// Colour pairs an editor takes for one scheme (background / foreground).
struct EditorColors {
    TColor textBack, textFore;
    TColor selectBack, selectFore;
    TColor commentBack, commentFore;
    TColor mailBack, mailFore;
    TColor urlBack, urlFore;
    TColor marks;
};
EditorColors editorColors(int customizer, const IniFile& ini);

} // namespace sheaf
