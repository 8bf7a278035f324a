// Windows: the arguments from the wide command line, streams in binary mode.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>

#include "host/process.h"
#include "host/utf16_windows.h"

namespace cw {
namespace {

bool hasHandle(DWORD which) {
  const HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

void binary(std::FILE* stream) {
  // A program with no such stream has a negative descriptor for it.
  if (const int fd = _fileno(stream); fd >= 0) _setmode(fd, _O_BINARY);
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
  std::vector<std::string> args;
  for (int i = 1; i < n; ++i) args.push_back(toUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

void prepareStandardStreams() {
  // A GUI program started from a console (crateworks --help) gets no streams: without this its
  // words would go nowhere. Streams redirected to a file or pipe are kept.
  if (!hasHandle(STD_OUTPUT_HANDLE) && !hasHandle(STD_ERROR_HANDLE) &&
      AttachConsole(ATTACH_PARENT_PROCESS)) {
    std::freopen("CONOUT$", "w", stdout);
    std::freopen("CONOUT$", "w", stderr);
  }
  binary(stdin);
  binary(stdout);
  binary(stderr);
  // Windows' C library buffers standard error whole when it goes to a file or a pipe, so that
  // a message waited there until the program ended (behind a message box, or lost in a crash);
  // C has it unbuffered.
  std::setvbuf(stderr, nullptr, _IONBF, 0);
}

}  // namespace cw
