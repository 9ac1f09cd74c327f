#include "tests/support/CliRunner.h"

#include <chrono>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace moxalo::testing {

namespace {

// Waits for the process; kills it once `seconds` have passed.
int waitFor(pid_t pid, int seconds, bool& hung) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            hung = true;
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return status;
}

CliRun run(const char* program, std::vector<std::string> args, const TempDir& dir,
           std::vector<std::string> variables, int secondsAllowed) {
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, dir.file("stdout").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, dir.file("stderr").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    variables.push_back("HOME=" + dir.path());
    std::vector<char*> env;
    for (auto& v : variables)
        env.push_back(v.data());
    env.push_back(nullptr);
    pid_t pid = 0;
    CliRun result;
    if (posix_spawn(&pid, program, &actions, nullptr, argv.data(), env.data()) == 0) {
        int status = waitFor(pid, secondsAllowed, result.hung);
        result.crashed = WIFSIGNALED(status) && !result.hung;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = readFile(dir.file("stdout"));
    result.err = readFile(dir.file("stderr"));
    return result;
}

} // namespace

CliRun cli(std::vector<std::string> args, const TempDir& dir, std::vector<std::string> variables,
           int secondsAllowed) {
    return run(MOXALO_CLI, std::move(args), dir, std::move(variables), secondsAllowed);
}

CliRun regedit(std::vector<std::string> args, const TempDir& dir,
               std::vector<std::string> variables, int secondsAllowed) {
    return run(MOXALO_REGEDIT, std::move(args), dir, std::move(variables), secondsAllowed);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace moxalo::testing
