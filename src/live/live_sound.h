// The sound device as the live loop drives it.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/seams.h"
#include "base/sound_names.h"

namespace cw {

// What the loop asks of a sound device besides playing: it is open only while sound may play.
class LiveSound : public SoundPort {
 public:
  // How long the device stays open after the last sound ended.
  static constexpr std::int64_t kCloseAfterNs = 3'000'000'000;

  // How long a waiting play of the sound holds the window.
  virtual Millis holdLength(std::string_view name) = 0;
  // The holds a recording played back was made with, in place of any told before (none for a
  // live game): it holds as long as where it was recorded.
  virtual void tellHolds(const ToldHolds& holds) = 0;
  // A sound may play soon: open the device unless it is open or there is none. `nowNs` is the
  // steady clock.
  virtual void wake(std::int64_t nowNs) = 0;
  virtual bool deviceOpen() const = 0;
  // False once the device failed to open: the game is silent for good.
  virtual bool canOpen() const = 0;
  // Closes the device once it has been silent for kCloseAfterNs. Returns when to ask again on
  // the steady clock, or -1 while it is closed.
  virtual std::int64_t closeWhenSilent(std::int64_t nowNs) = 0;
  // Muted, nothing is heard; a waiting sound still holds as long, so the game plays the same.
  virtual void setMuted(bool muted) = 0;
};

}  // namespace cw
