#pragma once
// Sets or clears an environment variable for as long as the object lives,
// then puts back what was there before: a test binary run whole (not one
// process per test) must leave no test's setting to the next.
#include <stdlib.h>

#include <optional>
#include <string>

class ScopedEnv {
public:
  // A null value clears the variable.
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = getenv(name)) previous_ = old;
    Set(value);
  }
  ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
  ~ScopedEnv() { Set(previous_ ? previous_->c_str() : nullptr); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

  // Changes the value again; the old one still comes back at the end.
  void Set(const char* value) {
    if (value) setenv(name_.c_str(), value, 1);
    else unsetenv(name_.c_str());
  }

private:
  std::string name_;
  std::optional<std::string> previous_;
};
