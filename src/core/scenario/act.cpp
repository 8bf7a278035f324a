#include <type_traits>

#include "core/scenario/script.h"
#include "core/shell/device.h"

namespace cw {

std::optional<Status> actOn(Device& device, const Command& command) {
  return std::visit(
      [&device](const auto& c) -> std::optional<Status> {
        using C = std::decay_t<decltype(c)>;
        using Action = cmd::Mouse::Action;
        if constexpr (std::is_same_v<C, cmd::KeyDown>) {
          device.keyDown(c.code);
        } else if constexpr (std::is_same_v<C, cmd::KeyUp>) {
          device.keyUp(c.code);
        } else if constexpr (std::is_same_v<C, cmd::Wait>) {
          device.runUntil(device.now() + c.ms);
        } else if constexpr (std::is_same_v<C, cmd::Stall>) {
          device.stall(c.ms);
        } else if constexpr (std::is_same_v<C, cmd::Close>) {
          // The keys chosen hold even when the key file could not be saved.
          if (Status saved = device.closeDialog(); !saved)
            return failure("key file not saved: " + saved.error());
        } else if constexpr (std::is_same_v<C, cmd::Mouse>) {
          if (c.label != 0) {
            // The dialog's labels take clicks only.
            if (c.action == Action::Click) device.clickLabel(c.label);
          } else if (c.action == Action::Down) {
            device.mouseDown(c.segment);
          } else if (c.action == Action::Up) {
            device.mouseUp(c.segment);
          } else {
            device.click(c.segment);
          }
        } else {
          static_assert(!kActsOnDevice<C>, "every action is done above");
          return std::nullopt;
        }
        return Status{};
      },
      command);
}

}  // namespace cw
