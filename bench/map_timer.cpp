// Starts a program and reports how long it took until a top-level window with
// a given title was mapped, and the program's resident memory a moment later.
//
//   map_timer TITLE SETTLE_MS TIMEOUT_MS PROGRAM [ARGS...]
//
// Prints one line "map_ms=<float> rss_kb=<int>" and ends the program with
// SIGTERM. The watch on the root window is in place before the fork, so no
// map can be missed and no polling interval is added to the figure; the cost
// of fork and exec is the same for every program measured.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <string>

namespace {

double NowMs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

std::string WindowTitle(Display* display, Window window) {
  std::string title;
  Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (!title.empty()) return title;
  }
  char* name = nullptr;
  if (XFetchName(display, window, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

long ResidentKb(pid_t pid) {
  char path[64];
  snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
  FILE* f = fopen(path, "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (fgets(line, sizeof line, f)) {
    if (strncmp(line, "VmRSS:", 6) == 0) {
      kb = strtol(line + 6, nullptr, 10);
      break;
    }
  }
  fclose(f);
  return kb;
}

int IgnoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: map_timer TITLE SETTLE_MS TIMEOUT_MS PROGRAM [ARGS...]\n");
    return 2;
  }
  const std::string title = argv[1];
  const int settleMs = atoi(argv[2]);
  const int timeoutMs = atoi(argv[3]);
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "map_timer: cannot open the X display\n");
    return 2;
  }
  // A window may be gone again before its title is read.
  XSetErrorHandler(IgnoreXErrors);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);

  const double start = NowMs();
  pid_t child = fork();
  if (child < 0) return 2;
  if (child == 0) {
    close(ConnectionNumber(display));
    execv(argv[4], argv + 4);
    _exit(127);
  }

  double mappedAt = -1;
  while (mappedAt < 0) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && WindowTitle(display, event.xmap.window) == title) {
        mappedAt = NowMs();
        break;
      }
    }
    if (mappedAt >= 0) break;
    int status;
    if (waitpid(child, &status, WNOHANG) == child) {
      fprintf(stderr, "map_timer: %s ended before its window was mapped\n", argv[4]);
      return 1;
    }
    const int left = timeoutMs - static_cast<int>(NowMs() - start);
    if (left <= 0) {
      fprintf(stderr, "map_timer: no window \"%s\" within %d ms\n", title.c_str(), timeoutMs);
      kill(child, SIGKILL);
      waitpid(child, nullptr, 0);
      return 1;
    }
    pollfd pfd{ConnectionNumber(display), POLLIN, 0};
    poll(&pfd, 1, left < 50 ? left : 50);
  }

  if (settleMs > 0) usleep(static_cast<useconds_t>(settleMs) * 1000);
  const long rss = ResidentKb(child);
  kill(child, SIGTERM);
  int status;
  for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i) usleep(20000);
  if (waitpid(child, &status, WNOHANG) == 0) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  printf("map_ms=%.2f rss_kb=%ld\n", mappedAt - start, rss);
  XCloseDisplay(display);
  return 0;
}
