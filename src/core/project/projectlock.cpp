#include "project/projectlock.h"

#include "common/fsutil.h"
#include "common/sjis.h"
#include "common/text.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <unistd.h>

namespace sheaf {
namespace {

std::string hostName()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0)
        return "localhost";
    return buf;
}

std::string userName()
{
    const char* user = std::getenv("USER");
    return user && *user ? user : std::to_string(::getuid());
}

bool processRuns(long pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

} // namespace

std::string ProjectLock::lockPath(const std::string& projectPath) { return projectPath + ".lock"; }

bool ProjectLock::acquire(const std::string& projectPath)
{
    release();
    const std::string file = lockPath(projectPath);
    const std::string content = userName() + "\n" + hostName() + "\n" + std::to_string(::getpid()) + "\n";
    try {
        fs::writeFileAtomic(file, content, "lock", false);
    } catch (const std::exception&) {
        return false;
    }
    m_project = projectPath;
    m_lockFile = file;
    return true;
}

void ProjectLock::release()
{
    if (m_lockFile.empty())
        return;
    // Only our own lock is removed; another program may have taken it over.
    const auto content = fs::tryReadFile(m_lockFile);
    if (content) {
        const auto lines = splitLines(*content);
        if (lines.size() >= 3 && lines[1] == hostName() && lines[2] == std::to_string(::getpid()))
            fs::removeFile(m_lockFile);
    }
    m_lockFile.clear();
    m_project.clear();
}

std::optional<LockOwner> ProjectLock::owner(const std::string& projectPath)
{
    const auto content = fs::tryReadFile(lockPath(projectPath), nullptr, 4096);
    if (!content)
        return std::nullopt;
    const auto lines = splitLines(*content);
    if (lines.size() < 3)
        return std::nullopt;
    return LockOwner{lines[0], lines[1], std::strtol(lines[2].c_str(), nullptr, 10)};
}

std::optional<LockOwner> ProjectLock::liveOwner(const std::string& projectPath)
{
    auto o = owner(projectPath);
    if (!o)
        return std::nullopt;
    if (o->host != hostName())
        return o;
    if (o->pid != ::getpid() && processRuns(o->pid))
        return o;
    return std::nullopt;
}

std::string LockOwner::describe() const
{
    return sjis::sj("ユーザー ") + user + sjis::sj("、ホスト ") + host + sjis::sj("、プロセス ") + std::to_string(pid);
}

std::string lockHeldMessage(const LockOwner& owner)
{
    return sjis::sj("このプロジェクトは別のプログラムが開いています（") + owner.describe() + sjis::sj("）。");
}

} // namespace sheaf
