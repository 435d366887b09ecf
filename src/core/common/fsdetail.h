#pragma once
// Pieces of the file layer shared by its own sources; not for other callers.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace sheaf::fs::detail {

// Writes all of data, retrying after signals; false with errno on failure.
bool writeAll(int fd, std::string_view data);
// A free-to-use temporary name beside nativeTarget (".sheaf~XXXXXX~" + its
// name, the X random); nothing is created.
std::string temporaryNameBeside(const std::string& nativeTarget);
// Creates the temporary file of a write to nativeTarget, in the same folder
// and named after it, with mode under the umask; answers its descriptor (-1
// with errno) and its path.
int createTemporaryBeside(const std::string& nativeTarget, std::string& temporary, mode_t mode = 0600);

} // namespace sheaf::fs::detail
