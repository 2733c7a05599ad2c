#include "support/XvfbServer.h"

#include <csignal>
#include <cstdio>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvale::test {

XvfbServer::XvfbServer(int width, int height) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return;
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const std::string fd = std::to_string(fds[1]);
    m_pid = ::fork();
    if (m_pid == 0) {
        ::close(fds[0]);
        // It tries display numbers until one is free and complains about each taken one.
        if (FILE* devNull = std::fopen("/dev/null", "w")) {
            ::dup2(fileno(devNull), STDERR_FILENO);
        }
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                 "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    if (m_pid < 0) {
        ::close(fds[0]);
        return;
    }
    // -displayfd writes the display number once the server accepts connections.
    std::string number;
    pollfd readable{fds[0], POLLIN, 0};
    while (::poll(&readable, 1, 10000) > 0) {
        char buffer[16];
        const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        number.append(buffer, static_cast<std::size_t>(got));
        if (number.find('\n') != std::string::npos) {
            break;
        }
    }
    ::close(fds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == ' ')) {
        number.pop_back();
    }
    if (!number.empty()) {
        m_display = QStringLiteral(":") + QString::fromStdString(number);
    }
}

XvfbServer::~XvfbServer() {
    if (m_pid > 0) {
        ::kill(m_pid, SIGTERM);
        ::waitpid(m_pid, nullptr, 0);
    }
}

} // namespace quorvale::test
