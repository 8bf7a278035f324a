#include "sdl/window/view_choice.h"

namespace cw {

Result<ViewChoice> viewChoiceOf(const ConfValues& values) {
  ViewChoice c;
  for (const auto& [key, value] : values) {
    if (key == "scale" && (c.scale = parseScale(value))) continue;
    if (key == "view" && (c.view = parseView(value))) continue;
    if (key == "scale" || key == "view") return failure(key + " cannot be " + value);
    return failure("no setting called " + key);
  }
  return c;
}

ConfValues confOf(double scale, ViewKind view) {
  return {{"scale", scaleText(scale)}, {"view", std::string(viewText(view))}};
}

}  // namespace cw
