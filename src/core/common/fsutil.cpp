#include "common/fsutil.h"

#include "common/error.h"
#include "common/fsdetail.h"
#include "common/paths.h"
#include "common/sjis.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>

namespace sheaf::fs {
namespace {

bool statPath(std::string_view path, struct stat& st)
{
    return ::stat(toNative(path).c_str(), &st) == 0;
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

FileKind fileKind(std::string_view path, std::int64_t* size)
{
    struct stat st {};
    if (path.empty() || !statPath(path, st))
        return FileKind::Missing;
    if (size)
        *size = static_cast<std::int64_t>(st.st_size);
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(st.st_mode))
        return FileKind::Directory;
    if (S_ISFIFO(st.st_mode))
        return FileKind::Fifo;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return FileKind::Device;
    if (S_ISSOCK(st.st_mode))
        return FileKind::Socket;
    return FileKind::Other;
}

std::string fileKindText(FileKind kind)
{
    switch (kind) {
    case FileKind::Missing: return reasonText(ENOENT);
    case FileKind::Regular: return {};
    case FileKind::Directory: return sjis::sj("通常のファイルではなく、ディレクトリです");
    case FileKind::Fifo: return sjis::sj("通常のファイルではなく、名前付きパイプ (FIFO) です");
    case FileKind::Device: return sjis::sj("通常のファイルではなく、デバイスです");
    case FileKind::Socket: return sjis::sj("通常のファイルではなく、ソケットです");
    case FileKind::Other: break;
    }
    return sjis::sj("通常のファイルではありません");
}

std::string reasonText(int err)
{
    switch (err) {
    case ENOENT: return sjis::sj("ファイルまたはフォルダが存在しません");
    case EACCES:
    case EPERM: return sjis::sj("アクセスが許可されていません");
    case EROFS: return sjis::sj("読み取り専用のファイルシステムです");
    case ENOSPC: return sjis::sj("ディスクの空き容量が足りません");
    case EDQUOT: return sjis::sj("ディスク使用量の制限を超えました");
    case EFBIG: return sjis::sj("ファイルサイズの上限を超えました");
    case EISDIR: return fileKindText(FileKind::Directory);
    case ENOTDIR: return sjis::sj("パスの途中がフォルダではありません");
    case ELOOP: return sjis::sj("シンボリックリンクが循環しています");
    case ENAMETOOLONG: return sjis::sj("ファイル名が長すぎます");
    case EIO: return sjis::sj("入出力エラーが発生しました");
    default: break;
    }
    return sjis::fromUtf8(std::strerror(err));
}

std::string failureText(const std::string& message, std::string_view path, const std::string& reason)
{
    std::string out = message;
    if (!path.empty())
        out += "\n" + std::string(path);
    if (!reason.empty())
        out += "\n" + reason;
    return out;
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

namespace {

// Opens for reading without ever blocking (a FIFO would wait for a writer)
// and only when the path is a regular file of at most maxBytes; answers the
// descriptor and its size, or -1 with *reason set.
int openRegular(std::string_view path, std::int64_t maxBytes, std::int64_t& size, std::string* reason)
{
    const auto fail = [&](const std::string& why) {
        if (reason)
            *reason = why;
        return -1;
    };
    if (path.empty())
        return fail(reasonText(ENOENT));
    const int fd = ::open(toNative(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return fail(reasonText(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int e = errno;
        ::close(fd);
        return fail(reasonText(e));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(fileKindText(S_ISDIR(st.st_mode)    ? FileKind::Directory
                                 : S_ISFIFO(st.st_mode) ? FileKind::Fifo
                                 : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? FileKind::Device
                                 : S_ISSOCK(st.st_mode) ? FileKind::Socket
                                                        : FileKind::Other));
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        return fail(sjis::sj("ファイルが大きすぎます（") + std::to_string(st.st_size) + sjis::sj(" バイト）"));
    }
    // Reads below wait for data as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    size = st.st_size;
    return fd;
}

} // namespace

std::optional<std::string> tryReadFile(std::string_view path, std::string* reason, std::int64_t maxBytes)
{
    std::int64_t size = 0;
    const int fd = openRegular(path, maxBytes, size, reason);
    if (fd < 0)
        return std::nullopt;
    std::string data;
    data.resize(static_cast<size_t>(size));
    size_t got = 0;
    char spill[65536];
    for (;;) {
        // Read into the buffer sized from the file; only a file that grew
        // while it was read goes on through the small spill buffer.
        char* into = got < data.size() ? data.data() + got : spill;
        const size_t room = got < data.size() ? data.size() - got : sizeof spill;
        const ssize_t n = ::read(fd, into, room);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (reason)
                *reason = reasonText(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        if (into == spill) {
            if (static_cast<std::int64_t>(got) + n > maxBytes) {
                if (reason)
                    *reason = sjis::sj("ファイルが大きすぎます");
                ::close(fd);
                return std::nullopt;
            }
            data.resize(got);
            data.append(spill, static_cast<size_t>(n));
        }
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    data.resize(got);
    return data;
}

std::string readKnownFile(std::string_view path, std::int64_t size, const std::string& failureMessage)
{
    const int fd = ::open(toNative(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw SheafError(failureText(failureMessage, path, reasonText(errno)));
    std::string data;
    data.resize(static_cast<size_t>(std::clamp<std::int64_t>(size, 0, kMaxReadBytes)) + 1);
    size_t got = 0;
    for (;;) {
        if (got == data.size()) {
            if (static_cast<std::int64_t>(got) >= kMaxReadBytes) {
                ::close(fd);
                throw SheafError(failureText(failureMessage, path, sjis::sj("ファイルが大きすぎます")));
            }
            data.resize(got * 2);
        }
        const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            throw SheafError(failureText(failureMessage, path, reasonText(err)));
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    data.resize(got);
    return data;
}

std::optional<std::string> readPrefix(std::string_view path, std::size_t n, std::string* reason)
{
    std::int64_t size = 0;
    const int fd = openRegular(path, std::numeric_limits<std::int64_t>::max(), size, reason);
    if (fd < 0)
        return std::nullopt;
    std::string data(n, '\0');
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, data.data() + got, n - got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0) {
            if (reason)
                *reason = reasonText(errno);
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

std::string readFile(std::string_view path, const std::string& failureMessage, std::int64_t maxBytes)
{
    std::string reason;
    auto data = tryReadFile(path, &reason, maxBytes);
    if (!data)
        throw SheafError(failureText(failureMessage, path, reason));
    return std::move(*data);
}

namespace {

constexpr std::string_view kTempPrefix = ".sheaf~";
constexpr size_t kTempRandom = 6;

} // namespace

namespace detail {

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

std::string temporaryNameBeside(const std::string& nativeTarget)
{
    const size_t slash = nativeTarget.find_last_of('/');
    std::string name = slash == std::string::npos ? nativeTarget : nativeTarget.substr(slash + 1);
    if (name.size() > 200)
        name.resize(200); // the temporary name must stay within NAME_MAX
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 pick{std::random_device{}()};
    std::string random(kTempRandom, 'X');
    std::uint64_t bits = pick();
    for (size_t i = 0; i < kTempRandom; ++i, bits >>= 6)
        random[i] = kLetters[(bits & 63) % 62];
    return (slash == std::string::npos ? std::string() : nativeTarget.substr(0, slash + 1)) + std::string(kTempPrefix) +
           random + "~" + name;
}

int createTemporaryBeside(const std::string& nativeTarget, std::string& temporary, mode_t mode)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryNameBeside(nativeTarget);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1; // errno EEXIST
}

} // namespace detail

namespace {

// The mode of a new file under the process's umask. The kernel tells the
// umask without changing it; setting it to read it back would, for a moment,
// let another thread create a file that anyone may write.
mode_t newFileMode()
{
    static const mode_t mask = [] {
        if (FILE* status = std::fopen("/proc/self/status", "re")) {
            char line[256];
            unsigned value = 0;
            while (std::fgets(line, sizeof line, status))
                if (std::sscanf(line, "Umask: %o", &value) == 1) {
                    std::fclose(status);
                    return static_cast<mode_t>(value);
                }
            std::fclose(status);
        }
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }();
    return 0666 & ~mask;
}

// The file a write to path really replaces: the target of a symbolic link.
std::string writeTarget(const std::string& native)
{
    struct stat st {};
    if (::lstat(native.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(native.c_str(), nullptr)) {
            std::string out(real);
            ::free(real);
            return out;
        }
    }
    return native;
}

} // namespace

void writeFileAtomic(std::string_view path, std::string_view data, const std::string& failureMessage, bool sync)
{
    const auto fail = [&](int err) { throw SheafError(failureText(failureMessage, path, reasonText(err))); };
    const std::string native = writeTarget(toNative(path));
    const size_t slash = native.find_last_of('/');
    const std::string nativeFolder = slash == std::string::npos ? std::string() : native.substr(0, slash);

    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones rather than mkstemp's 0600. A file nobody may write to is
    // the writer's wish and is not replaced behind it.
    struct stat st {};
    mode_t mode;
    if (::stat(native.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw SheafError(failureText(failureMessage, path,
                                         fileKindText(S_ISDIR(st.st_mode) ? FileKind::Directory
                                                      : S_ISFIFO(st.st_mode) ? FileKind::Fifo
                                                                              : FileKind::Device)));
        if ((st.st_mode & 0222) == 0 || ::access(native.c_str(), W_OK) != 0)
            throw SheafError(failureText(failureMessage, path, sjis::sj("書き込みが許可されていないファイルです（読み取り専用）")));
        mode = st.st_mode & 07777;
    } else {
        mode = newFileMode();
    }
    std::string tmpl;
    const int fd = detail::createTemporaryBeside(native, tmpl);
    if (fd < 0)
        fail(errno);
    (void)::fchmod(fd, mode); // a file system without modes still takes the data
    int err = 0;
    if (!detail::writeAll(fd, data) || (sync && ::fsync(fd) != 0))
        err = errno ? errno : EIO;
    if (::close(fd) != 0 && err == 0)
        err = errno;
    if (err == 0 && ::rename(tmpl.c_str(), native.c_str()) != 0)
        err = errno;
    if (err != 0) {
        ::unlink(tmpl.c_str());
        fail(err);
    }
    if (sync)
        syncFolder(nativeFolder);
}

bool isTemporaryName(std::string_view fileName)
{
    return fileName.size() > kTempPrefix.size() + kTempRandom + 1 && fileName.substr(0, kTempPrefix.size()) == kTempPrefix &&
           fileName[kTempPrefix.size() + kTempRandom] == '~';
}

std::optional<std::unordered_set<std::string>> nativeNamesIn(std::string_view folder)
{
    DIR* dir = ::opendir(toNative(folder).c_str());
    if (!dir)
        return std::nullopt;
    std::unordered_set<std::string> names;
    while (const dirent* e = ::readdir(dir))
        names.emplace(e->d_name);
    ::closedir(dir);
    return names;
}

std::size_t removeTemporaries(std::string_view folder)
{
    std::size_t removed = 0;
    DIR* dir = ::opendir(toNative(folder).c_str());
    if (!dir)
        return 0;
    const int dfd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        struct stat st {};
        if (isTemporaryName(e->d_name) && ::fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && ::unlinkat(dfd, e->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

bool createNewFile(std::string_view path, std::string_view data)
{
    const std::string native = toNative(path);
    const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool ok = detail::writeAll(fd, data) && ::fsync(fd) == 0;
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

void ignoreFileSizeLimitSignal() { ::signal(SIGXFSZ, SIG_IGN); }

bool removeEmptyDirectory(std::string_view path) { return ::rmdir(toNative(path).c_str()) == 0; }

} // namespace sheaf::fs
