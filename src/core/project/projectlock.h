#pragma once
// A lock file beside an open project ("NAME.shf3.lock": user, host, process),
// so that the help maker can warn that the main program has the project open.
#include <string>

namespace sheaf {

class ProjectLock {
public:
    ProjectLock() = default;
    ~ProjectLock() { release(); }
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Takes the lock for projectPath (releasing any held before); false when
    // the lock file cannot be written. A lock of another live program is
    // replaced: the main program never refuses to open a project.
    bool acquire(const std::string& projectPath);
    void release();
    const std::string& lockedProject() const { return m_project; }

    static std::string lockPath(const std::string& projectPath);
    // True when a program other than this one holds the project; a lock left
    // by a process that no longer runs on this host counts as absent.
    static bool heldByOther(const std::string& projectPath);

private:
    std::string m_project;
    std::string m_lockFile;
};

} // namespace sheaf
