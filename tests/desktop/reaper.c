/* The first process of a desktop session's own PID namespace
 * (unshare --pid --fork): runs the session's command, adopts every process
 * left behind beneath it and records how each one ended. A program started
 * from a desktop entry is not its starter's child; the launcher leaves it
 * behind, and its exit status can still be read here.
 *   reaper FILE COMMAND [ARG...]
 * Each process that ends is written to FILE as "PID NAME exit CODE" or
 * "PID NAME signal NUMBER", one line each, flushed at once; NAME is the
 * kernel's name of the process (its comm), read before it is reaped. When the command
 * ends, whatever still runs in the namespace is asked to end (SIGTERM), and
 * killed after three seconds; the reaper then ends with the command's own
 * status, and the namespace with it. */
#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static FILE* logFile;

/* The name of a process that has ended but is not reaped yet. */
static void ReadName(const pid_t pid, char* const name, const size_t size) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/comm", (int)pid);
  FILE* const comm = fopen(path, "r");
  if (comm == NULL || fgets(name, (int)size, comm) == NULL) {
    snprintf(name, size, "?");
  }
  if (comm != NULL) {
    fclose(comm);
  }
  name[strcspn(name, "\n")] = '\0';
  for (char* c = name; *c != '\0'; c++) {
    if (*c == ' ') {
      *c = '_';
    }
  }
}

/* Waits for the next process beneath to end (or, with WNOHANG among the
 * options, looks for one), records and reaps it. Returns its pid, 0 when
 * none has ended yet, -1 when none is left. */
static pid_t ReapOne(const int options, int* const status) {
  siginfo_t info;
  memset(&info, 0, sizeof info);
  if (waitid(P_ALL, 0, &info, WEXITED | WNOWAIT | options) != 0) {
    return errno == EINTR ? 0 : -1;
  }
  const pid_t pid = info.si_pid;
  if (pid == 0) {
    return 0;
  }
  char name[64];
  ReadName(pid, name, sizeof name);
  while (waitpid(pid, status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(*status)) {
    fprintf(logFile, "%d %s exit %d\n", (int)pid, name, WEXITSTATUS(*status));
  } else if (WIFSIGNALED(*status)) {
    fprintf(logFile, "%d %s signal %d\n", (int)pid, name, WTERMSIG(*status));
  }
  fflush(logFile);
  return pid;
}

/* Reaps until the command has ended; returns its status. */
static int ReapUntil(const pid_t command) {
  for (;;) {
    int status = 0;
    const pid_t pid = ReapOne(0, &status);
    if (pid < 0 || pid == command) {
      return status;
    }
  }
}

/* Reaps what is left for up to the given number of tenths of a second;
 * returns 1 when nothing is left. */
static int ReapRest(const int tenths) {
  const struct timespec tenth = {0, 100000000L};
  for (int i = 0; i <= tenths; i++) {
    int status = 0;
    pid_t pid;
    while ((pid = ReapOne(WNOHANG, &status)) > 0) {
    }
    if (pid < 0) {
      return 1;
    }
    nanosleep(&tenth, NULL);
  }
  return 0;
}

int main(const int argc, char** const argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: reaper FILE COMMAND [ARG...]\n");
    return 2;
  }
  if (getpid() != 1) {
    fprintf(stderr, "reaper: must be the first process of its own PID namespace\n");
    return 2;
  }
  logFile = fopen(argv[1], "w");
  if (logFile == NULL) {
    perror(argv[1]);
    return 2;
  }
  const pid_t command = fork();
  if (command < 0) {
    perror("reaper: fork");
    return 2;
  }
  if (command == 0) {
    fclose(logFile);
    execvp(argv[2], argv + 2);
    perror(argv[2]);
    _exit(127);
  }
  const int status = ReapUntil(command);
  kill(-1, SIGTERM);
  if (!ReapRest(30)) {
    kill(-1, SIGKILL);
    ReapRest(30);
  }
  fclose(logFile);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}
