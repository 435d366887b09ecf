#include "common/preparedfile.h"

#include "common/error.h"
#include "common/fsdetail.h"
#include "common/fsutil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace sheaf::fs {
namespace {

constexpr std::size_t kBlock = 1 << 20;

// Unnamed files are linked into their folder through /proc; without it they
// could not be given a name.
bool unnamedFilesWork()
{
    static const bool work = ::access("/proc/self/fd", X_OK) == 0;
    return work;
}

std::string folderOf(const std::string& nativePath)
{
    const std::size_t slash = nativePath.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : nativePath.substr(0, slash);
}

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Gives the unnamed file behind fd a new temporary name beside nativeTarget.
bool linkBeside(int fd, const std::string& nativeTarget, std::string& temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = detail::temporaryNameBeside(nativeTarget);
        if (::linkat(AT_FDCWD, descriptorPath(fd).c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    temporary.clear();
    return false;
}

ssize_t readSome(int fd, char* to, std::size_t n)
{
    for (;;) {
        const ssize_t r = ::read(fd, to, n);
        if (r >= 0 || errno != EINTR)
            return r;
    }
}

// One output on its way to the target: compared with the target's bytes while
// they agree, then written to a temporary file that starts with the agreeing
// part. Whatever is left open or half made goes with the object.
class Replacement {
public:
    Replacement(std::string_view path, const std::string& failureMessage, Target target)
        : m_path(path), m_failureMessage(failureMessage), m_target(toNative(path))
    {
        if (target == Target::MayExist)
            m_old = ::open(m_target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (m_old >= 0 && ::fstat(m_old, &st) == 0 && S_ISREG(st.st_mode)) {
            m_replacesFile = true;
            if (st.st_size > 0)
                m_block = std::make_unique<char[]>(m_blockSize = std::min<std::size_t>(kBlock, st.st_size + 1));
        }
        if (!m_block)
            closeOld();
    }
    ~Replacement()
    {
        closeOld();
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temporary.empty())
            ::unlink(m_temporary.c_str());
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    void write(std::string_view piece)
    {
        if (m_fd < 0) {
            piece.remove_prefix(matchingPrefix(piece));
            if (piece.empty())
                return;
            startWriting();
        }
        if (m_buffer.size() + piece.size() > m_buffer.capacity())
            flush();
        if (piece.size() > m_buffer.capacity())
            put(piece);
        else
            m_buffer.append(piece);
    }

    PreparedFile finish()
    {
        if (m_fd < 0 && m_old >= 0 && m_blockPos == m_blockEnd && refill() == 0) {
            closeOld();
            return {}; // the target holds exactly the output
        }
        if (m_fd < 0)
            startWriting();
        flush();
        if (m_unnamed && m_err == 0) {
            const int fd = std::exchange(m_fd, -1);
            return {m_target, {}, fd, m_replacesFile};
        }
        if (::close(m_fd) != 0 && m_err == 0)
            m_err = errno;
        m_fd = -1;
        if (m_err != 0)
            fail(m_err);
        return {m_target, std::exchange(m_temporary, {}), -1, m_replacesFile};
    }

private:
    void closeOld()
    {
        if (m_old >= 0)
            ::close(m_old);
        m_old = -1;
    }
    [[noreturn]] void fail(int err) const { throw SheafError(failureText(m_failureMessage, m_path, reasonText(err))); }

    // Reads the next block of the target: the bytes read, 0 at its end, -1
    // when it cannot be read (the output then counts as different).
    ssize_t refill()
    {
        const ssize_t n = readSome(m_old, m_block.get(), m_blockSize);
        m_blockPos = 0;
        m_blockEnd = n > 0 ? static_cast<std::size_t>(n) : 0;
        return n;
    }

    // How much of piece agrees with the target from where the comparison
    // stands; the comparison advances over it.
    std::size_t matchingPrefix(std::string_view piece)
    {
        std::size_t done = 0;
        while (m_old >= 0 && done < piece.size()) {
            if (m_blockPos == m_blockEnd && refill() <= 0)
                break;
            const std::size_t n = std::min(piece.size() - done, m_blockEnd - m_blockPos);
            const char* a = piece.data() + done;
            const char* b = m_block.get() + m_blockPos;
            if (std::memcmp(a, b, n) != 0) {
                std::size_t same = 0;
                while (a[same] == b[same])
                    ++same;
                m_matched += same;
                return done + same;
            }
            done += n;
            m_blockPos += n;
            m_matched += n;
        }
        return done;
    }

    // The output differs from the target: a temporary file takes the part that
    // agreed, copied from the target, and everything after it.
    void startWriting()
    {
        if (!m_replacesFile && unnamedFilesWork())
            m_fd = ::open(folderOf(m_target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            m_unnamed = true;
        else
            m_fd = detail::createTemporaryBeside(m_target, m_temporary, 0666);
        if (m_fd < 0) {
            const int err = errno;
            m_temporary.clear();
            fail(err);
        }
        m_buffer.reserve(kBlock);
        for (std::int64_t copied = 0; copied < m_matched;) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(m_blockSize, m_matched - copied));
            const ssize_t n = ::pread(m_old, m_block.get(), want, copied);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail(n < 0 ? errno : EIO); // the target changed under the comparison
            put({m_block.get(), static_cast<std::size_t>(n)});
            copied += n;
        }
        closeOld();
        m_block.reset();
    }

    void put(std::string_view data)
    {
        if (m_err == 0 && !detail::writeAll(m_fd, data))
            m_err = errno ? errno : EIO;
    }
    void flush()
    {
        put(m_buffer);
        m_buffer.clear();
    }

    std::string m_path;
    const std::string& m_failureMessage;
    std::string m_target;
    int m_old = -1;
    bool m_replacesFile = false;
    std::unique_ptr<char[]> m_block;
    std::size_t m_blockSize = 0, m_blockPos = 0, m_blockEnd = 0;
    std::int64_t m_matched = 0;
    int m_fd = -1;
    bool m_unnamed = false;
    std::string m_temporary;
    std::string m_buffer;
    int m_err = 0;
};

} // namespace

PreparedFile prepareReplacementStreamed(std::string_view path, const std::string& failureMessage,
                                        const std::function<void(const ChunkWriter&)>& produce, Target target)
{
    Replacement replacement(path, failureMessage, target);
    produce([&](std::string_view piece) { replacement.write(piece); });
    return replacement.finish();
}

PreparedFile::PreparedFile(std::string target, std::string temporary, int descriptor, bool replacesFile)
    : m_target(std::move(target)), m_temporary(std::move(temporary)), m_descriptor(descriptor), m_replacesFile(replacesFile)
{
}

PreparedFile::PreparedFile(PreparedFile&& other) noexcept { *this = std::move(other); }

PreparedFile& PreparedFile::operator=(PreparedFile&& other) noexcept
{
    if (this != &other) {
        release();
        m_target = std::move(other.m_target);
        m_temporary = std::exchange(other.m_temporary, {});
        m_descriptor = std::exchange(other.m_descriptor, -1);
        m_replacesFile = other.m_replacesFile;
    }
    return *this;
}

PreparedFile::~PreparedFile() { release(); }

void PreparedFile::release()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    m_descriptor = -1;
    m_temporary.clear();
}

void commitReplacement(PreparedFile& file, std::string_view path, const std::string& failureMessage)
{
    const auto fail = [&](int err) {
        if (!file.m_temporary.empty())
            ::unlink(file.m_temporary.c_str());
        file.release();
        throw SheafError(failureText(failureMessage, path, reasonText(err)));
    };
    if (file.m_descriptor >= 0) {
        // A name for the unnamed file: the target's own where it is still
        // free, else a temporary one to rename from.
        if (::linkat(AT_FDCWD, descriptorPath(file.m_descriptor).c_str(), AT_FDCWD, file.m_target.c_str(),
                     AT_SYMLINK_FOLLOW) == 0) {
            file.release();
            return;
        }
        if (errno != EEXIST || !linkBeside(file.m_descriptor, file.m_target, file.m_temporary))
            fail(errno);
        ::close(std::exchange(file.m_descriptor, -1));
    }
    if (file.unchanged())
        return;
    // Over a file, the two are exchanged and the old data goes with the
    // temporary name: the name holds the old or the new page at every moment,
    // as with a rename, and ext4 does not flush the new data first, which a
    // rename over a file makes it do (the file can be made again, so no run
    // waits for its disk). Where the exchange is not known, a plain rename.
    if (file.m_replacesFile &&
        ::renameat2(AT_FDCWD, file.m_temporary.c_str(), AT_FDCWD, file.m_target.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(file.m_temporary.c_str());
        file.release();
        return;
    }
    if (::rename(file.m_temporary.c_str(), file.m_target.c_str()) != 0)
        fail(errno);
    file.release();
}

void discardReplacement(PreparedFile& file)
{
    if (!file.m_temporary.empty())
        ::unlink(file.m_temporary.c_str());
    file.release();
}

} // namespace sheaf::fs
