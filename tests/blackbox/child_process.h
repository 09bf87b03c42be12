// Runs a program with pipes on its standard input and output, the way a GUI
// does, so black-box tests can talk to the real binaries.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

class ChildProcess {
public:
    // Starts argv[0] with the given arguments in the given directory ("" for
    // the current one). Standard error is left to the test's own.
    explicit ChildProcess(const std::vector<std::string>& argv, const std::string& directory = "") {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            close(in[0]);
            close(in[1]);
            close(out[0]);
            close(out[1]);
            if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(127);
            // The program starts as from a terminal or a GUI, with the default
            // actions of the signals the test runner may ignore.
            signal(SIGINT, SIG_DFL);
            signal(SIGPIPE, SIG_DFL);
            std::vector<char*> args;
            for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
        signal(SIGPIPE, SIG_IGN);
    }

    ~ChildProcess() {
        closeInput();
        if (output_ >= 0) close(output_);
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }

    void send(const std::string& text) {
        std::size_t done = 0;
        while (input_ >= 0 && done < text.size()) {
            const ssize_t n = write(input_, text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
    }

    void closeInput() {
        if (input_ >= 0) close(input_);
        input_ = -1;
    }

    // Reads until the output contains the text, the program closes its
    // output, or the time runs out. Returns whether the text was seen.
    bool waitFor(const std::string& text, int timeoutMs = 10000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (output().find(text, consumed_) == std::string::npos) {
            if (!readSome(deadline)) return false;
        }
        consumed_ = output().find(text, consumed_) + text.size();
        return true;
    }

    // Everything the program writes until it closes its output.
    const std::string& readAll(int timeoutMs = 30000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (readSome(deadline)) {
        }
        return buffer_;
    }

    // The exit code, or -1 when the program has not ended in time or did not
    // end normally.
    int waitExit(int timeoutMs = 10000) {
        const int status = waitStatus(timeoutMs);
        return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The wait status as waitpid gives it, or -1 when the program has not
    // ended in time.
    int waitStatus(int timeoutMs = 10000) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return status;
            }
            usleep(5000);
        }
        return -1;
    }

    // Sends a signal to the program while it runs.
    void sendSignal(int number) {
        if (pid_ > 0 && !exited_) kill(pid_, number);
    }

    const std::string& output() const { return buffer_; }

private:
    bool readSome(std::chrono::steady_clock::time_point deadline) {
        if (output_ < 0) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
                .count();
        if (left <= 0) return false;
        pollfd p{output_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) return false;
        char chunk[4096];
        const ssize_t n = read(output_, chunk, sizeof chunk);
        if (n <= 0) {
            close(output_);
            output_ = -1;
            return false;
        }
        buffer_.append(chunk, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    bool exited_ = false;
    std::string buffer_;
    std::size_t consumed_ = 0;
};
