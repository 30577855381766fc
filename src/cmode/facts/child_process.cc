// Running a compiler as a child process: posix_spawn, both outputs read through poll, a deadline.
#include "cmode/facts/child_process.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace sornik::cmode {

namespace {

using Clock = std::chrono::steady_clock;

// A pipe whose ends close when it goes.
struct Pipe {
  int fds[2] = {-1, -1};
  Pipe() {
    if (pipe2(fds, O_CLOEXEC) != 0) fds[0] = fds[1] = -1;
  }
  ~Pipe() {
    for (int fd : fds) {
      if (fd >= 0) close(fd);
    }
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  bool ok() const { return fds[0] >= 0; }
  void close_write() {
    close(fds[1]);
    fds[1] = -1;
  }
};

// Reads both pipes until each ends or the deadline passes; false on the deadline.
bool drain(int out_fd, int err_fd, std::string& out, std::string& err, Clock::time_point deadline) {
  pollfd polls[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&out, &err};
  int open_count = 2;
  char buffer[16384];
  while (open_count > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    const int ready = poll(polls, 2, static_cast<int>(left.count()) + 1);
    if (ready < 0 && errno != EINTR) return false;
    for (int i = 0; i < 2; ++i) {
      if (polls[i].fd < 0 || polls[i].revents == 0) continue;
      const ssize_t got = read(polls[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else if (got == 0 || errno != EINTR) {
        polls[i].fd = -1;
        --open_count;
      }
    }
  }
  return true;
}

// Waits for the child until the deadline; false when it is still running then.
bool reap(pid_t pid, int& wait_status, Clock::time_point deadline) {
  for (;;) {
    const pid_t done = waitpid(pid, &wait_status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno != EINTR) return true;
    if (Clock::now() >= deadline) return false;
    // The child has closed its outputs and is about to end: short naps.
    usleep(1000);
  }
}

}  // namespace

ChildResult run_child(const std::vector<std::string>& argv, const std::string& input_path,
                      std::chrono::milliseconds limit) {
  ChildResult result;
  Pipe out_pipe;
  Pipe err_pipe;
  if (!out_pipe.ok() || !err_pipe.ok()) {
    result.err = std::strerror(errno);
    return result;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input_path.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe.fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe.fds[1], 2);
  // In a process group of its own, so that a timeout ends the compiler's own
  // children too; with default signal handling and no signal blocked.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigaddset(&signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int spawn_error =
      posix_spawn(&pid, argv.empty() ? "" : argv[0].c_str(), &actions, &attributes, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (spawn_error != 0) {
    result.err = std::strerror(spawn_error);
    return result;
  }
  out_pipe.close_write();
  err_pipe.close_write();

  const Clock::time_point deadline = Clock::now() + limit;
  int wait_status = 0;
  if (!drain(out_pipe.fds[0], err_pipe.fds[0], result.out, result.err, deadline) ||
      !reap(pid, wait_status, deadline)) {
    kill(-pid, SIGKILL);
    waitpid(pid, &wait_status, 0);
    result.outcome = ChildResult::Outcome::timed_out;
    return result;
  }
  if (WIFEXITED(wait_status)) {
    result.outcome = ChildResult::Outcome::exited;
    result.status = WEXITSTATUS(wait_status);
  } else {
    result.outcome = ChildResult::Outcome::signalled;
    result.status = WTERMSIG(wait_status);
  }
  return result;
}

std::string find_program(const std::string& name) {
  const auto runnable = [](const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
  };
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return runnable(name) ? name : std::string();
  const char* path_variable = std::getenv("PATH");
  std::string_view dirs = path_variable != nullptr ? path_variable : "/usr/local/bin:/usr/bin:/bin";
  for (;;) {
    const std::size_t colon = dirs.find(':');
    std::string candidate(dirs.substr(0, colon));
    // An empty entry is the current directory, as a shell takes it.
    if (!candidate.empty()) candidate += '/';
    candidate += name;
    if (runnable(candidate)) return candidate;
    if (colon == std::string_view::npos) return {};
    dirs.remove_prefix(colon + 1);
  }
}

}  // namespace sornik::cmode
