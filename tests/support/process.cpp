#include "support/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

Environment withVariable(Environment environment, const std::string& name,
                         const std::string& value) {
    environment.emplace_back(name, value);
    return environment;
}

void applyEnvironment(const Environment& environment) {
    for (const auto& [name, value] : environment) {
        if (value == unsetVariable) {
            unsetenv(name.c_str());
        } else {
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
}

ProcessResult runProgram(const std::vector<std::string>& arguments, const Environment& environment,
                         int timeoutSeconds) {
    ProcessResult result;
    int outPipe[2];
    int errPipe[2];
    if (pipe(outPipe) != 0 || pipe(errPipe) != 0) {
        return result;
    }
    pid_t child = fork();
    if (child == 0) {
        dup2(outPipe[1], STDOUT_FILENO);
        dup2(errPipe[1], STDERR_FILENO);
        close(outPipe[0]);
        close(errPipe[0]);
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        applyEnvironment(environment);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(outPipe[1]);
    close(errPipe[1]);

    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            break;
        }
        if (poll(fds, 2, 200) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) {
                continue;
            }
            char buffer[4096];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            } else {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
            }
        }
    }
    for (pollfd& fd : fds) {
        if (fd.fd >= 0) {
            close(fd.fd);
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

Environment headlessEnvironment() {
    return {{"SDL_VIDEODRIVER", "offscreen"},
            {"SDL_AUDIODRIVER", "dummy"},
            {"VELMORRA_NO_DIALOGS", "1"},
            {"MESA_EXTENSION_OVERRIDE", unsetVariable}};
}

namespace {

// The directories this test program made, removed when it ends. A death
// test's child ends through exit() too, so only the process that made them
// removes them.
struct MadeDirectories {
    pid_t maker = getpid();
    std::vector<std::string> paths;
    ~MadeDirectories() {
        if (getpid() != maker) {
            return;
        }
        for (const std::string& path : paths) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

MadeDirectories& madeDirectories() {
    static MadeDirectories made;
    return made;
}

}  // namespace

std::string makeTemporaryDirectory(const std::string& stem) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("velmorra-" + stem + "-XXXXXX")).string();
    char* made = mkdtemp(pattern.data());
    if (made == nullptr) {
        return std::string();
    }
    madeDirectories().paths.push_back(made);
    return made;
}

std::string installBinaryCopy(const std::string& directory) {
    std::filesystem::path target = std::filesystem::path(directory) / "velmorra";
    std::filesystem::copy_file(VELMORRA_BINARY, target,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::create_directories(std::filesystem::path(directory) / "data");
    return target.string();
}
