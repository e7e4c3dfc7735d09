// The `gridlume` command. Starting a program that links Qt Widgets costs tens of milliseconds
// in the dynamic loader alone, more than a whole placement: so `gridlume place GRID BLOCK` and
// `gridlume --toggle` go straight to the running instance over its socket, and only what needs
// the program (everything else, or these when no instance answers, or an answer this command
// cannot print itself) runs it, in this same process.
//
// Plain C++ and POSIX: nothing here may pull in Qt. The socket path follows
// InstanceChannel::defaultSocketPath(), which is the authority on it.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <limits.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr int answerTimeoutMs = 10000;
constexpr std::size_t maximumAnswerLength = 4096;

// A folder only we can enter: ours, not a symbolic link, mode 0700.
bool isPrivateFolder(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()
        && (info.st_mode & 077) == 0;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// $XDG_RUNTIME_DIR/gridlume-<display>.socket, else in the private folder under the temporary
// directory that the program makes; none when neither is there.
std::optional<std::string> socketPath()
{
    std::string display = environment("DISPLAY");
    for (char& c : display) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.'
            || c == '_' || c == '-';
        if (!allowed)
            c = '_';
    }
    const std::string fileName = "gridlume-" + (display.empty() ? std::string("default") : display) + ".socket";
    std::string runtime = environment("XDG_RUNTIME_DIR");
    if (!runtime.empty() && isPrivateFolder(runtime))
        return runtime + '/' + fileName;
    std::string temporary = environment("TMPDIR");
    if (temporary.empty())
        temporary = "/tmp";
    while (temporary.size() > 1 && temporary.back() == '/')
        temporary.pop_back();
    const std::string fallback = temporary + "/gridlume-" + std::to_string(::getuid());
    if (isPrivateFolder(fallback))
        return fallback + '/' + fileName;
    return std::nullopt;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor)
        : m_descriptor(descriptor)
    {
    }
    ~FileDescriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_descriptor; }

private:
    int m_descriptor;
};

// Sends one command line to the running instance and returns its one-line answer; none when no
// instance listens or it does not answer in time.
std::optional<std::string> request(const std::string& command)
{
    const std::optional<std::string> path = socketPath();
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (!path || path->size() >= sizeof(address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0 || ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return std::nullopt;

    const std::string line = command + '\n';
    for (std::size_t written = 0; written < line.size();) {
        const ssize_t count = ::send(socket.get(), line.data() + written, line.size() - written, MSG_NOSIGNAL);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return std::nullopt;
        written += std::size_t(count);
    }
    std::string answer;
    char buffer[512];
    for (;;) {
        pollfd readable { socket.get(), POLLIN, 0 };
        const int ready = ::poll(&readable, 1, answerTimeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        const ssize_t count = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return std::nullopt;
        answer.append(buffer, std::size_t(count));
        if (const std::size_t end = answer.find('\n'); end != std::string::npos)
            return answer.substr(0, end);
        if (answer.size() > maximumAnswerLength)
            return std::nullopt;
    }
}

// A word the instance's one-line protocol carries unchanged.
bool isPlainWord(std::string_view word)
{
    if (word.empty())
        return false;
    for (const unsigned char c : word) {
        if (c <= ' ' || c == 0x7f)
            return false;
    }
    return true;
}

// "place GRID BLOCK MONITOR" for `place GRID BLOCK [--monitor WHICH | --monitor=WHICH]`; none for
// any other form, which the program checks and explains.
std::optional<std::string> placeCommand(const std::vector<std::string_view>& arguments)
{
    if (arguments.size() < 3 || arguments[0] != "place")
        return std::nullopt;
    std::string_view monitor = "current";
    if (arguments.size() == 5 && arguments[3] == "--monitor")
        monitor = arguments[4];
    else if (arguments.size() == 4 && arguments[3].starts_with("--monitor="))
        monitor = arguments[3].substr(std::strlen("--monitor="));
    else if (arguments.size() != 3)
        return std::nullopt;
    for (const std::string_view word : { arguments[1], arguments[2], monitor }) {
        if (!isPlainWord(word) || word.starts_with('-'))
            return std::nullopt;
    }
    return "place " + std::string(arguments[1]) + ' ' + std::string(arguments[2]) + ' ' + std::string(monitor);
}

// The program itself: beside this command in a build tree, in the library folder once installed.
[[noreturn]] void runProgram(char** argv)
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = length > 0 ? std::string(self, std::size_t(length)) : std::string();
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    for (const char* relative : { GRIDLUME_PROGRAM_FROM_BINDIR, "libexec/gridlume/gridlume" }) {
        const std::string program = folder + relative;
        ::execv(program.c_str(), argv);
    }
    std::fprintf(stderr, "gridlume: cannot run %s%s: %s\n", folder.c_str(), GRIDLUME_PROGRAM_FROM_BINDIR,
        std::strerror(errno));
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    std::optional<std::string> command = placeCommand(arguments);
    if (!command && arguments.size() == 1 && arguments[0] == "--toggle")
        command = "toggle";
    if (command) {
        const std::optional<std::string> answer = request(*command);
        if (answer && *answer == "ok")
            return 0;
        // The instance tried and says why not; anything else ("invalid …" for arguments the
        // program explains with its usage) is left to the program.
        if (answer && answer->starts_with("failed ")) {
            std::fprintf(stderr, "gridlume: %s\n", answer->c_str() + std::strlen("failed "));
            return 1;
        }
    }
    runProgram(argv);
}
