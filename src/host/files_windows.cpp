// Files on Windows: every path goes to the wide calls, so that a folder named in any script (a
// user name with letters outside the ANSI code page) works.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host/files.h"
#include "host/utf16_windows.h"

namespace cw {
namespace {

// The last error's words after the path it concerns.
std::string lastError(const std::string& path) {
  return path + ": " + systemMessage(GetLastError());
}

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

// Makes the folders above `path` that are missing; a failure shows when the file is opened.
// The first part (a drive, "C:", or the server and share of "\\server\share") is never made.
void makeParents(const std::string& path) {
  std::size_t from = 1;
  if (path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    from = path.find_first_of("\\/", 2);                                        // past the server
    if (from != std::string::npos) from = path.find_first_of("\\/", from + 1);  // the share
  }
  for (std::size_t at = path.find_first_of("\\/", from); at != std::string::npos;
       at = path.find_first_of("\\/", at + 1)) {
    if (at > 0 && path[at - 1] == ':') continue;  // a drive's root
    CreateDirectoryW(toUtf16(path.substr(0, at)).c_str(), nullptr);
  }
}

// Writes all of `content`; false with the last error set when the disk takes less.
bool writeAll(HANDLE file, std::string_view content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1 << 30));
    DWORD n = 0;
    if (!WriteFile(file, content.data() + done, chunk, &n, nullptr)) return false;
    if (n == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    done += n;
  }
  return true;
}

bool notThere(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

Result<std::optional<std::string>> readSmallFile(const std::string& path, std::size_t limit) {
  const std::wstring wide = toUtf16(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (notThere(GetLastError())) return std::optional<std::string>();  // none there
    return failure(systemMessage(GetLastError()));
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return failure("not a regular file");
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (notThere(GetLastError())) return std::optional<std::string>();  // gone meanwhile
    return failure(systemMessage(GetLastError()));
  }
  LARGE_INTEGER size{};
  // A device (CON, NUL) may never end.
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return failure("not a regular file");
  }
  // Room for what the file says it holds and one byte more, to see its end; grown when it
  // holds more than it said (it grew meanwhile), never past the limit.
  std::string text(std::min(limit, static_cast<std::size_t>(size.QuadPart) + 1), '\0');
  std::size_t got = 0;
  while (got < limit) {
    if (got == text.size()) text.resize(std::min(limit, 2 * text.size()));
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(text.size() - got, 1 << 30));
    DWORD n = 0;
    if (!ReadFile(file, text.data() + got, want, &n, nullptr)) {
      std::string why = systemMessage(GetLastError());
      CloseHandle(file);
      return failure(why);
    }
    if (n == 0) break;
    got += n;
  }
  CloseHandle(file);
  text.resize(got);
  return std::optional<std::string>(std::move(text));
}

Status replaceFile(const std::string& path, std::string_view content) {
  makeParents(path);
  const std::string temp = path + ".new";
  const std::wstring wideTemp = toUtf16(temp);
  HANDLE file = CreateFileW(wideTemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return failure(lastError(temp));
  // Flushed before the rename, so that the name never points at a file not yet on the disk.
  if (!writeAll(file, content) || !FlushFileBuffers(file)) {
    std::string why = lastError(temp);
    CloseHandle(file);
    DeleteFileW(wideTemp.c_str());
    return failure(why);
  }
  CloseHandle(file);
  // rename() will not replace a file that exists there; this does, in one step, and returns
  // once the change of names is on the disk too.
  if (!MoveFileExW(wideTemp.c_str(), toUtf16(path).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    std::string why = lastError(path);
    DeleteFileW(wideTemp.c_str());
    return failure(why);
  }
  return {};
}

Status removeFile(const std::string& path) {
  if (!DeleteFileW(toUtf16(path).c_str()) && !notThere(GetLastError()))
    return failure(systemMessage(GetLastError()));
  return {};
}

int openForReading(const std::string& path) {
  return ::_wopen(toUtf16(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

Result<AppendFile> AppendFile::create(const std::string& path, bool replace) {
  // Neither kept nor replaced: a folder is no place for a file.
  const std::wstring wide = toUtf16(path);
  if (const DWORD attributes = GetFileAttributesW(wide.c_str());
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return failure(path + ": it is a folder");
  const int flags =
      _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT | (replace ? _O_TRUNC : _O_EXCL);
  const int fd = ::_wopen(wide.c_str(), flags, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    const int e = errno;
    if (e == EEXIST) return failure(path + ": it exists");
    return failure(path + ": " + std::strerror(e));
  }
  return AppendFile(fd, path);
}

AppendFile::~AppendFile() {
  if (fd_ >= 0) ::_close(fd_);
}

Status AppendFile::write(std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const unsigned chunk =
        static_cast<unsigned>(std::min<std::size_t>(text.size() - done, 1 << 30));
    const int n = ::_write(fd_, text.data() + done, chunk);
    if (n < 0) return failure(std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Status AppendFile::sync() {
  // A recording may go to a pipe or a console, which cannot be flushed and need not be.
  if (GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(fd_))) != FILE_TYPE_DISK) return {};
  if (::_commit(fd_) != 0) return failure(std::strerror(errno));
  return {};
}

void AppendFile::discard() {
  if (fd_ < 0) return;
  ::_close(fd_);
  fd_ = -1;
  DeleteFileW(toUtf16(path_).c_str());
}

bool isFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(toUtf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> folderEntries(const std::string& path) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  const HANDLE h = FindFirstFileW(toUtf16(path + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = toUtf8(found.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return names;
}

}  // namespace cw
