#pragma once
// Matchers for the three inline-tag patterns of page text:
//   anchor  <a href[ ="]*[-0-9a-zA-Z /:.~@#_ "]*>
//   font    <font [0-9a-zA-Z= "#+]+>
//   image   <[ "]*[./_- 0-9~a-zA-Z]+EXT[ "]*>    EXT one of .gif .jpg .bmp .png
// Each finds the leftmost match at or after `from`. None of the character
// classes holds '<' or '>', so a match is decided by one forward scan from
// its '<' and the scans of failed starts never overlap: linear in the line.
#include <cstddef>
#include <optional>
#include <string_view>

namespace sheaf::html {

struct Match {
    std::size_t pos;
    std::size_t len;
};

std::optional<Match> findAnchor(std::string_view line, std::size_t from = 0);
std::optional<Match> findFont(std::string_view line, std::size_t from = 0);
std::optional<Match> findImage(std::string_view line, std::string_view ext, std::size_t from = 0);

} // namespace sheaf::html
