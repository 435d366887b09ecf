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

namespace sheaf::fs {
namespace {

constexpr std::size_t kBlock = 1 << 20;

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
    Replacement(std::string_view path, const std::string& failureMessage)
        : m_path(path), m_failureMessage(failureMessage), m_target(toNative(path))
    {
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
            return {{}, m_target, true}; // the target holds exactly the output
        }
        if (m_fd < 0)
            startWriting();
        flush();
        if (::close(m_fd) != 0 && m_err == 0)
            m_err = errno;
        m_fd = -1;
        if (m_err != 0)
            fail(m_err);
        PreparedFile prepared{std::move(m_temporary), m_target, m_replacesFile};
        m_temporary.clear();
        return prepared;
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
    std::string m_temporary;
    std::string m_buffer;
    int m_err = 0;
};

} // namespace

PreparedFile prepareReplacementStreamed(std::string_view path, const std::string& failureMessage,
                                        const std::function<void(const ChunkWriter&)>& produce)
{
    Replacement replacement(path, failureMessage);
    produce([&](std::string_view piece) { replacement.write(piece); });
    return replacement.finish();
}

void commitReplacement(const PreparedFile& file, std::string_view path, const std::string& failureMessage)
{
    if (file.unchanged())
        return;
    // Over a file, the two are exchanged and the old data goes with the
    // temporary name: the name holds the old or the new page at every moment,
    // as with a rename, and ext4 does not flush the new data first, which a
    // rename over a file makes it do (the file can be made again, so no run
    // waits for its disk). Where the exchange is not known, a plain rename.
    if (file.replacesFile && ::renameat2(AT_FDCWD, file.temporary.c_str(), AT_FDCWD, file.target.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(file.temporary.c_str());
        return;
    }
    if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
        const int err = errno;
        ::unlink(file.temporary.c_str());
        throw SheafError(failureText(failureMessage, path, reasonText(err)));
    }
}

void discardReplacement(const PreparedFile& file)
{
    if (!file.unchanged())
        ::unlink(file.temporary.c_str());
}

} // namespace sheaf::fs
