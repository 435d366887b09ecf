#pragma once
// A lock file beside an open project ("NAME.shf3.lock": user, host, process)
// keeps a second program from writing the same project unawares.
#include <optional>
#include <string>

namespace sheaf {

struct LockOwner {
    std::string user;
    std::string host;
    long pid = 0;
    // "ユーザー u、ホスト h、プロセス 123" for the messages.
    std::string describe() const;
};

class ProjectLock {
public:
    ProjectLock() = default;
    ~ProjectLock() { release(); }
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Takes the lock for projectPath (releasing any held before), replacing a
    // lock file that is there: the caller has asked the user first when its
    // owner was alive. False when the lock file cannot be written.
    bool acquire(const std::string& projectPath);
    // Removes the lock file, but only while it is still this program's own.
    void release();
    const std::string& lockedProject() const { return m_project; }

    static std::string lockPath(const std::string& projectPath);
    // The lock's owner, when a lock file names one.
    static std::optional<LockOwner> owner(const std::string& projectPath);
    // The owner when it is another program that still runs. A lock written
    // on another host counts as live: from here it cannot be told.
    static std::optional<LockOwner> liveOwner(const std::string& projectPath);
    static bool heldByOther(const std::string& projectPath) { return liveOwner(projectPath).has_value(); }

private:
    std::string m_project;
    std::string m_lockFile;
};

// The message that names the owner of a live lock.
std::string lockHeldMessage(const LockOwner& owner);

} // namespace sheaf
