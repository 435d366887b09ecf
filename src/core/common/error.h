#pragma once
#include <stdexcept>
#include <string>

namespace sheaf {

// A failure carrying the Shift-JIS message that the user is shown.
class SheafError : public std::runtime_error {
public:
    explicit SheafError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace sheaf
