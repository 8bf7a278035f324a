#include "sdl/loop/front_end.h"

#include <SDL_image.h>

#include <algorithm>

#include "core/keyremap/key_file.h"
#include "host/clock.h"
#include "host/files.h"
#include "host/report.h"
#include "sdl/input/sdl_input.h"
#include "sdl/loop/message_box.h"
#include "sdl/loop/video_driver.h"
#include "sdl/loop/wayland_probe.h"

namespace cw {
namespace {

constexpr const char* kFontFile = "DejaVuSans.ttf";

std::string timingLogPath() {
  const char* path = SDL_getenv("CRATEWORKS_TIMING_LOG");
  return path ? path : "";
}

}  // namespace

int stampKeyArrival(void* timingLog, SDL_Event* e) {
  if (e->type == SDL_KEYDOWN || e->type == SDL_KEYUP)
    static_cast<TimingLog*>(timingLog)->keyArrived();
  return 1;
}

FrontEnd::FrontEnd(FrontEndOptions options)
    : options_(std::move(options)),
      assets_(options_.dataDir + "/assets"),
      timingPath_(timingLogPath()),
      timing_(timingPath_.empty() ? nullptr : std::make_unique<TimingLog>(&steadyNs, &wallUs)),
      sound_(options_.dataDir),
      keyFile_(options_.keyFilePath),
      game_(LivePorts{sound_, timeText_, keyFile_, *this, screen_, dialog_, &steadyNs,
                      [](const std::string& line) { report(line); }, [this] { followWallClock(); }},
            LiveSetup{options_.seed.value_or(static_cast<std::uint64_t>(wallNs() / 1'000'000'000)),
                      options_.recorder, options_.playback, timing_.get(), options_.muted,
                      options_.pauseOnBlur}) {
  if (timing_) sound_.onStart = [this] { timing_->soundStarts(); };
  sound_.onPlay = [this](std::string_view name) { pads_.soundPlayed(name); };
}

FrontEnd::~FrontEnd() {
  if (timing_ && sdl_.started()) SDL_DelEventWatch(&stampKeyArrival, timing_.get());
  events_.detach();
  sound_.closeAndWait();
  // Our windows go before SDL does, each forgotten by the watch first; the watch then waits for
  // the display's answers about them.
  windows_.forget(dialog_.window());
  dialog_.close();
  windows_.forget(screen_.window());
  screen_.close();
  windows_.settle();
  pads_.close();
  if (!timing_) return;
  if (Status written = replaceFile(timingPath_, timing_->text()); !written)
    report("cannot write the timing log " + timingPath_ + ": " + written.error());
}

Status FrontEnd::open() {
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  // When the software renderer draws, its picture goes to the X server through shared memory.
  // SDL would otherwise hand it to a GL texture on its way to the screen, which with no GPU
  // loads a software GL driver: 80 MB more memory and a slow first frame, for nothing.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // Closing the dialog while the game window is hidden must not end the program.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (Status started = startVideo(); !started) return started;
  if (timing_) SDL_AddEventWatch(&stampKeyArrival, timing_.get());
  if (Status opened = screen_.open(assets_, options_.screen); !opened) return opened;
  windows_.watch(screen_.window());
  events_.attach(screen_.window());
  pads_.rumbleEnabled = options_.rumble;
  if (Status pads = pads_.open(); pads)
    events_.watch(pads_.watch());
  else  // the keyboard still plays
    report(pads.error());
  // Keys only, never composed text: an input method must not swallow presses.
  SDL_StopTextInput();

  if (Status dialog = openDialogLook(); !dialog) return dialog;
  openSound();
  if (!options_.playback) sayOfTheKeyFile();
  events_.watch(*this);
  // The renderer's first frame costs far more than the later ones: pay for it before the
  // window shows and the clock starts.
  screen_.presentNow(game_.device().display());
  return {};
}

// Starts SDL's video on the first driver of the plan that starts: never one the environment
// does not offer (SDL would fall back to drawing off screen, which nobody would see), nor one
// that would crash it.
Status FrontEnd::startVideo() {
  const VideoPlan plan = planVideo(videoEnvironment(), &probeWayland);
  if (!plan.refusal.empty()) return failure("cannot open a window: " + plan.refusal);
  if (plan.drivers.empty()) {
    if (sdl_.start(SDL_INIT_VIDEO)) return {};
    return failure(std::string("cannot open a window: ") + SDL_GetError());
  }
  std::string why;
  for (const std::string& driver : plan.drivers) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    // Video only here: the game controllers start in Pads::open, with the watch on their
    // devices that wakes our own wait (SDL's wait would poll every millisecond while a pad is
    // plugged in).
    if (sdl_.start(SDL_INIT_VIDEO)) return {};
    why += (why.empty() ? "" : "; ") + driver + ": " + SDL_GetError();
  }
  return failure("cannot open a window: " + why);
}

// The dialog's icon and font; the dialog is the one way to change the keys, so both must load.
Status FrontEnd::openDialogLook() {
  const std::string dialogIconPath = assets_ + "/" + std::string(kDialogIcon);
  dialogIcon_.reset(IMG_Load(dialogIconPath.c_str()));
  if (!dialogIcon_) return failure("cannot use picture " + dialogIconPath + ": " + IMG_GetError());
  if (!fonts_.start())
    return failure(std::string("cannot start the font library: ") + TTF_GetError());
  const std::string fontPath = assets_ + "/" + kFontFile;
  font_.reset(TTF_OpenFontDPI(fontPath.c_str(), 8, 96, 96));
  if (!font_) return failure("cannot use font " + fontPath + ": " + TTF_GetError());
  return {};
}

void FrontEnd::openSound() {
  // Without a device, or without some of the sound files, the game runs silently; a broken
  // install must not pass for a quiet game, so each is said once.
  const Status audio = sound_.open();
  if (!sound_.missing().empty()) {
    std::string names;
    for (const std::string& n : sound_.missing()) names += (names.empty() ? "" : ", ") + n;
    report("sound files missing or unreadable in " + options_.dataDir + ": " + names);
  }
  if (!audio) report("no sound device (" + audio.error() + "); the game runs silent");
}

// A key file that is not one gives way to the default keys, which the player must be told: the
// keys he chose are gone from the game, and the dialog will write the defaults over the file.
void FrontEnd::sayOfTheKeyFile() {
  const std::string& path = keyFile_.path();
  if (path.empty()) return;
  const Result<std::optional<std::string>> text = keyFile_.readWithReason();
  if (!text)
    report("key file " + path + " cannot be read (" + text.error() +
           "): the default keys are used");
  else if (*text && !parseKeyFile(**text))
    report("key file " + path + " is not four key codes, one a line: the default keys are used");
}

int FrontEnd::run() {
  game_.begin();
  // Core time starts once the window is up and shows its first picture: mapping it and the
  // first present into it can take a while on a real display (tens of milliseconds under Xvfb),
  // and the first ticks should not start out late because of it.
  presentGame(true);
  game_.startClock();
  // A window destroyed under us ends the program as the window manager's close does.
  while (!game_.over() && !windows_.gone()) {
    if (timing_) timing_->wake();
    const Millis now = game_.realNow();
    game_.advance(now);
    if (game_.over()) break;
    // The screen shows the state after a batch of handlers, never one a hold interrupted.
    const bool settled = game_.settled(now);
    presentGame(settled);
    presentDialog(settled, now);
    if (onWake) onWake();
    if (game_.over()) break;
    writeRecording();
    events_.wait(nextWakeNs(now), talked_, [this](const SDL_Event& e) { pump(e); });
    talked_ = false;
  }
  return game_.finish();
}

// When the loop must wake next, on the steady clock: the live game's time, and the dialog's
// tooltips.
std::int64_t FrontEnd::nextWakeNs(Millis now) {
  std::int64_t wakeNs = game_.nextWakeNs(now);
  if (dialog_.isOpen()) {
    const Millis next = dialog_.nextChange(now);
    if (next >= 0) wakeNs = std::min(wakeNs, game_.originNs() + std::max(now, next) * 1'000'000);
  }
  return wakeNs;
}

// A recording that stops being writable (a full disk) is told at once, in a box, not only at
// the end; the game, paused while the box is up, goes on.
void FrontEnd::writeRecording() {
  const Status written = game_.writeRecording();
  if (written) return;
  report(written.error());
  const bool paused = game_.paused();
  game_.pause();
  presentGame(true);  // the screens show the pause behind the box
  showMessageBox(SDL_MESSAGEBOX_WARNING,
                 boxText(written.error()) + "\nThe game goes on; the recording stops here.",
                 screen_.window());
  if (!paused) game_.resume();
  talked_ = true;
}

// Someone set the wall clock (or the machine woke from a suspend): core time keeps its place
// on the steady clock, and the clock's text follows the wall clock from now on.
void FrontEnd::clockWasSet() {
  if (!clockWatch_.changed()) return;
  followWallClock();
  game_.clockChanged();
}

// The clock's text shows the wall clock's time at core time's real moment.
void FrontEnd::followWallClock() {
  timeText_.setOrigin(wallNs() - (steadyNs() - game_.originNs()));
}

Millis FrontEnd::arrival(const SDL_Event& e) const {
  // Event stamps are 32-bit milliseconds since SDL started; their age is exact even across a
  // wrap of the 32 bits.
  const Uint32 age = static_cast<Uint32>(SDL_GetTicks64()) - e.common.timestamp;
  return game_.realNow() - static_cast<Millis>(age);
}

void FrontEnd::pump(const SDL_Event& e) {
  const Uint32 dialogId = dialog_.windowId();
  switch (e.type) {
    case SDL_QUIT:
      game_.quit();
      break;
    case SDL_MOUSEMOTION:
      if (dialogId != 0 && e.motion.windowID == dialogId) {
        dialog_.tooltips().pointerAt(dialog_.boxAt(e.motion.x, e.motion.y), game_.realNow());
        dialog_.pointerAt(e.motion.x, e.motion.y, (e.motion.state & SDL_BUTTON_LMASK) != 0);
      }
      break;
    case SDL_WINDOWEVENT:
      pumpWindowEvent(e);
      break;
    case SDL_RENDER_TARGETS_RESET:
      screen_.exposed();
      dialog_.exposed();
      break;
    case SDL_RENDER_DEVICE_RESET:
      reloadPictures();
      break;
    case SDL_AUDIODEVICEREMOVED:
      // Ours (the only one open) went: the next sound opens whatever device is there then.
      if (!e.adevice.iscapture) sound_.deviceLost();
      break;
    case SDL_SYSWMEVENT:
      if (windows_.take(e)) game_.quit();
      break;
    default:
      pads_.arrive(e);
      // The close button looks pressed at once, as the press arrives.
      if ((e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_MOUSEBUTTONUP) && dialogId != 0 &&
          e.button.windowID == dialogId && e.button.button == SDL_BUTTON_LEFT)
        dialog_.pointerAt(e.button.x, e.button.y, e.type == SDL_MOUSEBUTTONDOWN);
      if (std::optional<LiveInput> in = liveInputOf(e)) {
        // SDL lets go of every held key as the keyboard leaves our windows, before it says so:
        // no window of ours has it any more, where one had.
        if (auto* k = std::get_if<KeyInput>(&*in); k && !k->down)
          k->left = keyboardSeen_ && SDL_GetKeyboardFocus() == nullptr;
        game_.arrive(arrival(e), *in);
      }
      break;
  }
}

void FrontEnd::pumpWindowEvent(const SDL_Event& e) {
  const Uint32 dialogId = dialog_.windowId();
  const Uint8 what = e.window.event;
  // Whether the keyboard is in one of our windows, or has gone to another program's.
  if (what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_FOCUS_LOST)
    game_.focusChanged(SDL_GetKeyboardFocus() != nullptr);
  if (what == SDL_WINDOWEVENT_FOCUS_GAINED) keyboardSeen_ = true;
  if (dialogId != 0 && e.window.windowID == dialogId) {
    if (what == SDL_WINDOWEVENT_CLOSE) game_.arrive(arrival(e), CloseInput{dialogId});
    if (what == SDL_WINDOWEVENT_LEAVE) dialog_.tooltips().pointerAt(0, game_.realNow());
    // Under a Wayland compositor the first frame of a new dialog may never show (it stays
    // black); the dialog gains the focus once it shows, and is drawn again then.
    if (what == SDL_WINDOWEVENT_EXPOSED || what == SDL_WINDOWEVENT_FOCUS_GAINED) dialog_.exposed();
    if (what == SDL_WINDOWEVENT_MINIMIZED) dialog_.minimised(game_.realNow());
    if (what == SDL_WINDOWEVENT_RESTORED) dialog_.restored();
  } else if (e.window.windowID == screen_.windowId()) {
    if (what == SDL_WINDOWEVENT_EXPOSED || what == SDL_WINDOWEVENT_SHOWN ||
        what == SDL_WINDOWEVENT_RESTORED)
      screen_.exposed();
    if (what == SDL_WINDOWEVENT_SIZE_CHANGED) screen_.resized();
    // The window manager's close (there is no close box) ends the program like ACL.
    if (what == SDL_WINDOWEVENT_CLOSE) game_.quit();
  }
}

// The textures went with the render device: load them again from where they came from. If
// they cannot be, the program ends, saying why, rather than draw without them.
void FrontEnd::reloadPictures() {
  if (Status loaded = screen_.reload(); !loaded) return endWithoutPictures(loaded.error());
  dialog_.exposed();
}

void FrontEnd::endWithoutPictures(const std::string& why) {
  report(why);
  game_.quit(1);
}

void FrontEnd::presentGame(bool settled) {
  TimingLog* timing = timing_.get();
  const CasingWindow::Presented p = screen_.present(game_.device().display(), settled,
                                                    game_.paused(), timing ? &steadyNs : nullptr);
  if (!p.status) return endWithoutPictures(p.status.error());  // none for the new size
  if (p.drawn) talked_ = true;
  if (timing) timing->screen(p.version, p.drawn, p.drawStartNs);
}

void FrontEnd::presentDialog(bool settled, Millis now) {
  // Its tooltips and repaints talk to the display whenever it is open. (Set here, not beside the
  // wait's deadline: the wait's arguments are read in no fixed order.)
  if (dialog_.isOpen()) talked_ = true;
  const Device& device = game_.device();
  if (!settled || !dialog_.isOpen() || !device.dialog()) return;
  if (onDialogFrame) {
    // A test sees the dialog as it is about to be presented.
    dialog_.draw(*device.dialog(), dialog_.tooltips().shown(now));
    onDialogFrame(dialog_.renderer());
    dialog_.exposed();
  }
  dialog_.update(*device.dialog(), now);
}

void FrontEnd::showGameWindow(bool shown, bool) {
  // A disabled window needs nothing here: the device gives it no input then.
  if (shown != screen_.visible()) talked_ = true;
  // Showing waits until the window maps, which one destroyed under us never does.
  if (shown && !screen_.visible() && !windows_.stillThere(screen_.window())) {
    game_.quit();
    return;
  }
  screen_.show(shown);
}

void FrontEnd::showDialog(bool open) {
  talked_ = true;
  if (!open) {
    windows_.forget(dialog_.window());
    dialog_.close();
    return;
  }
  if (Status opened =
          dialog_.open(font_.get(), dialogIcon_.get(), screen_.window(), screen_.scale());
      !opened)
    report("cannot open the key dialog: " + opened.error());
  windows_.watch(dialog_.window());
}

}  // namespace cw
