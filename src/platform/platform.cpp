#include "platform/platform.h"

#include "platform/desktop_platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace h2 {

namespace {
std::unique_ptr<Platform> gPlatform;
std::once_flag gFallbackOnce;

std::string fallbackRoot() {
    const char* tmp = getenv("TMPDIR");
    std::string base = tmp && *tmp ? tmp : "/tmp";
    return base + "/h2-root-" + std::to_string(getuid());
}
} // namespace

Platform::Platform(std::string root) : mRoot(std::move(root)) {
    while (mRoot.size() > 1 && mRoot.back() == '/')
        mRoot.pop_back();
}

std::string Platform::path(const std::string& absolute) const {
    if (absolute.empty() || absolute[0] != '/' || mRoot == "/")
        return absolute;
    return mRoot + absolute;
}

int Platform::runProgram(const std::vector<std::string>& argv, std::string* output) {
    return spawnAndWait(argv, output);
}

int Platform::writeSysfs(const std::string& absolutePath, const std::string& value) {
    int fd = ::open(path(absolutePath).c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    ssize_t n = ::write(fd, value.data(), value.size());
    ::close(fd);
    return n == ssize_t(value.size()) ? 0 : -1;
}

int Platform::createStickFile(const std::string& absolutePath) {
    return ::open(path(absolutePath).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

long Platform::writeStick(int fd, const void* data, size_t size) {
    return long(::write(fd, data, size));
}

Platform& platform() {
    if (!gPlatform) {
        // Code that runs before start-up chose a platform (tests, tools) never reaches the
        // real system: it gets a desktop platform on a scratch root.
        std::call_once(gFallbackOnce, [] { gPlatform = makeDesktopPlatform(fallbackRoot()); });
    }
    return *gPlatform;
}

void setPlatform(std::unique_ptr<Platform> platform) {
    gPlatform = std::move(platform);
}

bool namesAllwinnerSoc(const std::string& compatible) {
    // The file holds NUL-separated "vendor,model" strings; the SoC entry is "allwinner,sunXi-...".
    size_t start = 0;
    while (start < compatible.size()) {
        size_t end = compatible.find('\0', start);
        if (end == std::string::npos)
            end = compatible.size();
        std::string entry = compatible.substr(start, end - start);
        if (entry.rfind("allwinner,", 0) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

bool deviceGuard(const std::string& compatiblePath, std::string* why) {
    std::ifstream in(compatiblePath, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || contents.empty()) {
        if (why)
            *why = "device platform refused: cannot read " + compatiblePath +
                   "; this is not the panel's board (use --platform desktop)";
        return false;
    }
    if (!namesAllwinnerSoc(contents)) {
        if (why)
            *why = "device platform refused: " + compatiblePath +
                   " names no Allwinner SoC (use --platform desktop)";
        return false;
    }
    return true;
}

bool desktopRootAllowed(const std::string& root, std::string* why) {
    char resolved[PATH_MAX];
    std::string real = realpath(root.c_str(), resolved) ? std::string(resolved) : root;
    if (real.empty() || real == "/") {
        if (why)
            *why = "desktop platform refused: its root must not be / (give --root DIR)";
        return false;
    }
    return true;
}

int spawnAndWait(const std::vector<std::string>& argv, std::string* output) {
    if (argv.empty())
        return -1;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (output) {
        output->clear();
        if (pipe2(pipeFds, O_CLOEXEC) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return -1;
        }
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    }
    pid_t pid = 0;
    // posix_spawnp searches PATH but never involves a shell: every argument stays one word.
    const int spawned = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    bool tooLong = false;
    if (output) {
        ::close(pipeFds[1]);
        // Read to the end even past the limit, so that the program never blocks on a full pipe.
        char buf[16 * 1024];
        for (;;) {
            const ssize_t n = ::read(pipeFds[0], buf, sizeof(buf));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            if (output->size() + size_t(n) > kOutputMax)
                tooLong = true;
            else
                output->append(buf, size_t(n));
        }
        ::close(pipeFds[0]);
    }
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) && !tooLong ? WEXITSTATUS(status) : -1;
}

void realPause(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace h2
