#include "common/settingspath.h"

#include "common/fsutil.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace sheaf {

std::string programFolder()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return ".";
    std::string exe(buf, static_cast<size_t>(n));
    const size_t slash = exe.find_last_of('/');
    return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string settingsFolder()
{
    if (const char* home = std::getenv("SHEAF3_HOME"); home && *home)
        return home;
    const std::string programDir = programFolder();
    if (::access((programDir + "/Sheaf3.ini").c_str(), F_OK) == 0)
        return programDir;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        return std::string(xdg) + "/sheaf3";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/sheaf3";
}

std::string settingsIniPath() { return fs::fromNative(settingsFolder() + "/Sheaf3.ini"); }

std::string helpFilePath()
{
    if (const char* help = std::getenv("SHEAF3_HELP"); help && *help)
        return fs::fromNative(help);
    const std::string beside = programFolder() + "/Sheaf3.chm";
    if (::access(beside.c_str(), F_OK) == 0)
        return fs::fromNative(beside);
    return fs::fromNative(programFolder() + "/../share/sheaf3/Sheaf3.chm");
}

} // namespace sheaf
