// The tests' own environment variables, set the same way on every system (Windows has no
// setenv; _putenv changes the system's environment too, where SDL reads it).
#pragma once

#include <cstdlib>
#include <string>

namespace cw {

inline void setEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
  _putenv((name + "=" + value).c_str());  // an empty value removes it there
#else
  ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void unsetEnv(const std::string& name) {
#ifdef _WIN32
  _putenv((name + "=").c_str());
#else
  ::unsetenv(name.c_str());
#endif
}

// The value, or "" when it is not set.
inline std::string getEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

}  // namespace cw
