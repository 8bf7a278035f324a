// The scale and view the window remembers in the settings file.
#pragma once

#include <optional>

#include "base/result.h"
#include "host/conf_file.h"
#include "live/view_layout.h"

namespace cw {

// What the settings file says; a failure says what is wrong with it.
struct ViewChoice {
  std::optional<double> scale;
  std::optional<ViewKind> view;
};
Result<ViewChoice> viewChoiceOf(const ConfValues& values);
ConfValues confOf(double scale, ViewKind view);

}  // namespace cw
