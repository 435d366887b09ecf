#include "common/fsutil.h"

#include "common/error.h"
#include "common/paths.h"
#include "common/sjis.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace sheaf::fs {
namespace {

bool statPath(std::string_view path, struct stat& st)
{
    return ::stat(toNative(path).c_str(), &st) == 0;
}

bool writeAll(int fd, std::string_view data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void syncFolder(const std::string& nativeFolder)
{
    const int dfd = ::open(nativeFolder.empty() ? "." : nativeFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

} // namespace

std::string toNative(std::string_view sjisPath) { return sjis::toUtf8(sjisPath); }

std::string fromNative(std::string_view nativePath)
{
    size_t bad = 0;
    std::string path = sjis::fromUtf8(nativePath, &bad);
    if (bad != 0)
        throw SheafError(sjis::sj("Shift-JIS で表せない文字がパスに含まれています: ") + path);
    return path;
}

bool exists(std::string_view path)
{
    struct stat st {};
    return !path.empty() && statPath(path, st);
}

bool isFile(std::string_view path)
{
    struct stat st {};
    return !path.empty() && statPath(path, st) && S_ISREG(st.st_mode);
}

bool isDirectory(std::string_view path)
{
    struct stat st {};
    return !path.empty() && statPath(path, st) && S_ISDIR(st.st_mode);
}

std::int64_t fileSize(std::string_view path)
{
    struct stat st {};
    if (path.empty() || !statPath(path, st) || !S_ISREG(st.st_mode))
        return 0;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<std::string> lastWriteText(std::string_view path)
{
    struct stat st {};
    if (path.empty() || !statPath(path, st))
        return std::nullopt;
    std::tm tm {};
    const time_t t = st.st_mtime;
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M:%S", &tm);
    return std::string(buf);
}

std::optional<std::string> tryReadFile(std::string_view path)
{
    const int fd = ::open(toNative(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string data;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        data.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return data;
}

std::optional<std::string> readPrefix(std::string_view path, std::size_t n)
{
    const int fd = ::open(toNative(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string data(n, '\0');
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, data.data() + got, n - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (r == 0)
            break;
        got += static_cast<size_t>(r);
    }
    ::close(fd);
    data.resize(got);
    return data;
}

std::string readFile(std::string_view path, const std::string& failureMessage)
{
    auto data = tryReadFile(path);
    if (!data)
        throw SheafError(failureMessage);
    return std::move(*data);
}

void writeFileAtomic(std::string_view path, std::string_view data, const std::string& failureMessage, bool sync)
{
    const std::string native = toNative(path);
    const std::string nativeFolder = toNative(folderPart(path));
    std::string tmpl = native + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd < 0)
        throw SheafError(failureMessage);

    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones rather than mkstemp's 0600.
    struct stat st {};
    mode_t mode;
    if (::stat(native.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    (void)::fchmod(fd, mode); // a file system without modes still takes the data
    bool ok = writeAll(fd, data) && (!sync || ::fsync(fd) == 0);
    ok = (::close(fd) == 0) && ok;
    if (!ok || ::rename(tmpl.c_str(), native.c_str()) != 0) {
        ::unlink(tmpl.c_str());
        throw SheafError(failureMessage);
    }
    if (sync)
        syncFolder(nativeFolder);
}

bool createNewFile(std::string_view path, std::string_view data)
{
    const std::string native = toNative(path);
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !ok) {
        ::unlink(native.c_str());
        return false;
    }
    return true;
}

bool makeDirectories(std::string_view path)
{
    if (path.empty())
        return false;
    const std::string native = toNative(path);
    std::string partial;
    for (size_t i = 0; i <= native.size(); ++i) {
        if (i == native.size() || native[i] == '/') {
            partial = native.substr(0, i);
            if (partial.empty())
                continue;
            if (::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
                return false;
        }
    }
    struct stat st {};
    return ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(std::string_view path) { return ::unlink(toNative(path).c_str()) == 0; }

} // namespace sheaf::fs
