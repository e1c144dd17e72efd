#pragma once
// Runs the built dotforge-cli (path from DOTFORGE_CLI) as a child process and
// collects its exit status, standard output and standard error.

#include "tests/support/test_workspace.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace dotforge::test {

struct CliRun {
    int status = -1; // exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;
};

struct CliEnvironment {
    std::vector<std::string> drop; // variables removed from the child's environment
    std::vector<std::string> set; // "NAME=value" entries put into it
    std::optional<std::string> input; // standard input: a pipe delivering these bytes (< 64 KiB); else /dev/null
    std::string folder = {}; // the folder it runs in; else the test's own
};

// `runUnder`: a command (its full path first) that runs the tool, e.g. as another user.
inline CliRun runCliUnder(
    const std::vector<std::string> &runUnder, const std::vector<std::string> &args, const CliEnvironment &env = {})
{
    TempDir io;
    const std::string outPath = io.file("stdout");
    const std::string errPath = io.file("stderr");
    std::vector<std::string> words = runUnder;
    words.push_back(DOTFORGE_CLI);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    for (auto &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    std::vector<std::string> dropped = env.drop;
    for (const auto &entry : env.set)
        dropped.push_back(entry.substr(0, entry.find('=')));
    std::vector<std::string> envWords;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        if (std::none_of(
                dropped.begin(), dropped.end(), [&](const std::string &name) { return entry.starts_with(name + "="); }))
            envWords.push_back(entry);
    }
    envWords.insert(envWords.end(), env.set.begin(), env.set.end());
    std::vector<char *> envp;
    for (auto &w : envWords)
        envp.push_back(w.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeEnds[2] = {-1, -1};
    if (env.input && ::pipe2(pipeEnds, O_CLOEXEC) == 0) {
        [[maybe_unused]] const auto written = ::write(pipeEnds[1], env.input->data(), env.input->size());
        ::close(pipeEnds[1]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    if (!env.folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, env.folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    CliRun run;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    if (pipeEnds[0] >= 0)
        ::close(pipeEnds[0]);
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    return run;
}

inline CliRun runCli(const std::vector<std::string> &args, const CliEnvironment &env)
{
    return runCliUnder({}, args, env);
}

// `dropEnv`: variables removed from the child's environment.
inline CliRun runCli(const std::vector<std::string> &args, const std::vector<std::string> &dropEnv = {})
{
    return runCli(args, CliEnvironment{dropEnv, {}, std::nullopt});
}

} // namespace dotforge::test
