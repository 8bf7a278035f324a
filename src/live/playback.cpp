#include "live/playback.h"

#include "core/scenario/print.h"

namespace cw {

Result<std::unique_ptr<Playback>> Playback::parse(const std::string& text,
                                                  const std::string& name) {
  std::unique_ptr<Playback> p(new Playback());
  p->path_ = name;
  Result<Script> script = parseScenario(text, &p->lines_);
  if (!script) return failure("cannot play " + name + ": " + script.error());
  p->script_ = std::move(script).value();
  bool begun = false;
  for (std::size_t i = 0; i < p->script_.size(); ++i) {
    if (Status taken = p->take(p->script_[i], p->lines_[i], begun); !taken)
      return failure("cannot play " + name + ": " + taken.error());
  }
  p->version_ = recordedVersion(text);
  return p;
}

std::string Playback::versionNote() const {
  if (!version_ || *version_ == CW_VERSION) return {};
  return path_ + " was recorded by crateworks " + *version_ + ", and this is " + CW_VERSION +
         ": it may play differently (the end says whether it did)";
}

// The settings of the recording, taken before it plays; the clock's texts hold by their times
// wherever they stand.
Status Playback::take(const Command& c, int line, bool& begun) {
  const std::string where = "line " + std::to_string(line) + ": ";
  if (const auto* t = std::get_if<cmd::TimeAt>(&c)) {
    texts_.add(t->from, t->text);
    return {};
  }
  if (std::holds_alternative<cmd::Time>(c) || std::holds_alternative<cmd::Draw>(c))
    return failure(where + "only crateworks-replay plays time and draw");
  // The key file may change in play (a recording says what a live file kept when it could not
  // take the dialog's keys): it is set where it stands, as the game goes.
  const bool setting =
      std::holds_alternative<cmd::Seed>(c) || std::holds_alternative<cmd::SoundLength>(c);
  if (setting && begun) return failure(where + "only crateworks-replay changes settings in play");
  if (const auto* s = std::get_if<cmd::Seed>(&c)) seed_ = s->n;
  if (const auto* s = std::get_if<cmd::SoundLength>(&c)) holds_.tell(s->name, s->ms);
  if (const auto* k = std::get_if<cmd::KeyFile>(&c); k && !begun) setKeys(*k);
  if (isAction(c) || std::holds_alternative<cmd::Start>(c)) begun = true;
  return {};
}

void Playback::setKeys(const cmd::KeyFile& k) {
  keys_.set(k.keys ? std::optional(formatKeyFile(*k.keys)) : std::nullopt);
}

std::optional<Playback::Step> Playback::next(const Device& device) {
  for (; cursor_ < script_.size(); ++cursor_) {
    const Command& c = script_[cursor_];
    if (const auto* e = std::get_if<cmd::Expect>(&c)) {
      ++compared_;
      std::string got;
      if (!expectHolds(*e, {device, keys_, std::string()}, got))
        differences_.push_back("line " + std::to_string(lines_[cursor_]) + ": recorded '" +
                               e->answer + "', shown '" + got + "'");
      continue;
    }
    if (const auto* k = std::get_if<cmd::KeyFile>(&c)) setKeys(*k);
    if (!isAction(c)) continue;
    // A wait counts from where the core stands now, holds and all, as the replay's does.
    if (const auto* w = std::get_if<cmd::Wait>(&c)) runTo_ = device.now() + w->ms;
    return Step{runTo_, cursor_++};
  }
  return std::nullopt;
}

void Playback::act(std::size_t index, Device& device) {
  // Waits have run the core already: the live loop ran it there.
  if (!std::holds_alternative<cmd::Wait>(script_.at(index))) (void)actOn(device, script_[index]);
}

bool Playback::presses(std::size_t index) const {
  const Command& c = script_.at(index);
  const auto* mouse = std::get_if<cmd::Mouse>(&c);
  return std::holds_alternative<cmd::KeyDown>(c) ||
         (mouse && mouse->action != cmd::Mouse::Action::Up);
}

std::string Playback::verdict() const {
  std::string why;
  if (compared_ == 0) return "the recording has no final values to compare (cut short?)";
  if (differences_.empty()) return {};
  why = "the game played back differs from the recording: " + differences_.front();
  if (differences_.size() > 1) why += " (and " + std::to_string(differences_.size() - 1) + " more)";
  if (version_ && *version_ != CW_VERSION)
    why += "; it was recorded by crateworks " + *version_ + ", this is " + CW_VERSION;
  return why;
}

}  // namespace cw
