// A key file kept in memory: a recording's while it plays back, a replay's while it runs, so that
// neither touches the player's own file.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "base/seams.h"

namespace cw {

class KeyFileInMemory final : public KeyFilePort {
 public:
  explicit KeyFileInMemory(std::optional<std::string> text = std::nullopt)
      : text_(std::move(text)) {}
  std::optional<std::string> read() override { return text_; }
  Status write(std::string_view content) override {
    text_ = std::string(content);
    return {};
  }
  // The whole file, or none.
  void set(std::optional<std::string> text) { text_ = std::move(text); }

 private:
  std::optional<std::string> text_;
};

}  // namespace cw
