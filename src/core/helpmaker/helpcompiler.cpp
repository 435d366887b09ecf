#include "helpmaker/helpcompiler.h"

#include "common/fsutil.h"
#include "common/paths.h"
#include "common/sjis.h"
#include "common/text.h"
#include "helpmaker/helpproject.h"

#include <chm_lib.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace sheaf::help {
namespace {

using sjis::sj;

struct timespec modificationTime(const std::string& nativePath)
{
    struct stat st {};
    if (::stat(nativePath.c_str(), &st) != 0)
        return {0, 0};
    return st.st_mtim;
}

bool notBefore(const struct timespec& a, const struct timespec& b)
{
    return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec >= b.tv_nsec);
}

} // namespace

bool isCompilerName(const std::string& path)
{
    const std::string name = asciiLower(fileNamePart(path));
    return name == "hhc.exe" || name == "hhc" || name == "chmcmd" || name.rfind("chmcmd-", 0) == 0;
}

std::optional<std::string> findCompilerOnPath()
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t colon = folders.find(':', start);
        const std::string folder = folders.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!folder.empty()) {
            const std::string candidate = folder + "/chmcmd";
            if (::access(candidate.c_str(), X_OK) == 0)
                return fs::fromNative(candidate);
        }
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return std::nullopt;
}

std::vector<std::string> requiredHelpObjects(const std::string& projectPath, const ItemList& items)
{
    std::vector<std::string> names{"/" + BaseName(projectPath) + ".hhc", "/" + BaseName(projectPath) + ".hhk"};
    for (const auto& item : items)
        names.push_back("/html/" + htmlPageName(item->sFileName));
    return names;
}

std::vector<std::string> missingHelpObjects(const std::string& chmPath, const std::vector<std::string>& required,
                                            std::string* openProblem)
{
    chmFile* chm = chm_open(fs::toNative(chmPath).c_str());
    if (!chm) {
        if (openProblem)
            *openProblem = sj("コンパイルされたヘルプファイルを開けません: ") + chmPath;
        return required;
    }
    std::vector<std::string> missing;
    for (const auto& name : required) {
        chmUnitInfo info {};
        if (chm_resolve_object(chm, name.c_str(), &info) != CHM_RESOLVE_SUCCESS)
            missing.push_back(name);
    }
    chm_close(chm);
    return missing;
}

CompileResult compileHelp(const std::string& compiler, const std::string& projectPath, const ItemList& items)
{
    CompileResult r;
    const HelpFiles files = helpFilesFor(projectPath);
    r.chmPath = files.chm;
    const std::string nativeChm = fs::toNative(files.chm);
    struct timespec started {};
    ::clock_gettime(CLOCK_REALTIME, &started);
    // A second's grace: some file systems keep coarser times than the clock.
    started.tv_sec -= 1;

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        r.problem = sj("ヘルプコンパイラを起動できませんでした: ") + fs::reasonText(errno);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    const std::string folder = fs::toNative(folderPart(projectPath));
    posix_spawn_file_actions_addchdir_np(&actions, folder.empty() ? "." : folder.c_str());
    const std::string program = fs::toNative(compiler);
    const std::string argument = fs::toNative(BaseName(projectPath) + ".hhp");
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (spawned != 0) {
        ::close(pipeFds[0]);
        r.problem = sj("hhc.exe を起動できませんでした") + "\n" + compiler + "\n" + fs::reasonText(spawned);
        return r;
    }
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        r.output.append(buf, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    r.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

    // The compiler's own word is not enough: it may end with 0 and write
    // nothing, or leave an old file in place.
    if (r.exitStatus != 0) {
        r.problem = sj("ヘルプコンパイラがエラーで終了しました（終了コード ") + std::to_string(r.exitStatus) + sj("）。");
        return r;
    }
    if (!fs::isFile(files.chm) || !notBefore(modificationTime(nativeChm), started)) {
        r.problem = sj("ヘルプファイルが作成されませんでした: ") + files.chm;
        return r;
    }
    std::string openProblem;
    const auto missing = missingHelpObjects(files.chm, requiredHelpObjects(projectPath, items), &openProblem);
    if (!openProblem.empty()) {
        r.problem = openProblem;
        return r;
    }
    if (!missing.empty()) {
        r.problem = sj("ヘルプファイルに次のファイルが含まれていません:");
        for (const auto& name : missing)
            r.problem += "\n" + name;
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace sheaf::help
