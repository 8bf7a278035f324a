#include "platform/front_end.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace cw {
namespace {

constexpr const char* kFontFile = "DejaVuSans.ttf";

}  // namespace

FrontEnd::FrontEnd(FrontEndOptions options)
    : options_(std::move(options)),
      assets_(options_.dataDir + "/assets"),
      sound_(options_.dataDir),
      clock_(options_.playback ? options_.playback->clock() : timeText_, options_.recorder),
      seed_(options_.playback
                ? options_.playback->seed()
                : options_.seed.value_or(static_cast<std::uint64_t>(std::time(nullptr)))),
      random_(seed_),
      keyFile_(options_.keyFilePath),
      keys_(options_.playback ? options_.playback->keyFile() : keyFile_),
      device_(Seams{rumblingSound_, clock_, random_, keys_, *this}),
      pacer_(
          device_, [this](const SDL_Event& e) { deliver(e); },
          [this](Millis until) {
            // The copy draws what the live generator would, and leaves it as it is.
            SeededRandom random = random_;
            const std::int64_t start = timing_ ? steadyNs() : 0;
            const Ahead a = lookAhead(device_.game(), random, clock_.source(), until);
            if (timing_)
              timing_->lookedAhead(a.ticks, steadyNs() - start, device_.now(),
                                   a.due >= 0 ? a.due : until);
            return a;
          }),
      timing_(TimingLog::fromEnvironment()) {
  if (timing_) sound_.onStart = [this] { timing_->soundStarts(); };
  if (options_.playback) {
    for (const auto& [name, ms] : options_.playback->holds()) sound_.setHoldLength(name, ms);
    pacer_.stalls = false;
  }
}

FrontEnd::~FrontEnd() {
  if (timing_ && sdl_) SDL_DelEventWatch(&TimingLog::watch, timing_.get());
  events_.detach();
  sound_.closeAndWait();
  windows_.forget(dialog_.window());
  dialog_.close();
  if (font_) TTF_CloseFont(font_);
  if (dialogIcon_) SDL_FreeSurface(dialogIcon_);
  if (ttf_) TTF_Quit();
  windows_.forget(screen_.window());
  screen_.close();
  windows_.settle();
  pads_.close();
  if (sdl_) {
    IMG_Quit();
    SDL_Quit();
  }
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
  // Video only here: the game controllers start in Pads::open, with the watch on their devices
  // that wakes our own wait (SDL's wait would poll every millisecond while a pad is plugged in).
  if (SDL_Init(SDL_INIT_VIDEO) != 0)
    return failure(std::string("cannot open a window: ") + SDL_GetError());
  sdl_ = true;
  if (timing_) SDL_AddEventWatch(&TimingLog::watch, timing_.get());
  // With no display SDL falls back to drawing off screen, which nobody would see; that is
  // only wanted when asked for by name (tests do).
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  if (driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0) &&
      !(asked && *asked))
    return failure("cannot open a window: no display found");
  if (Status opened = screen_.open(assets_, options_.screen); !opened) return opened;
  windows_.watch(screen_.window());
  events_.attach(screen_.window());
  pads_.rumbleEnabled = options_.rumble;
  if (Status pads = pads_.open(); pads)
    events_.watch(pads_);
  else  // the keyboard still plays
    std::fprintf(stderr, "crateworks: %s\n", pads.error().c_str());
  // Keys only, never composed text: an input method must not swallow presses.
  SDL_StopTextInput();

  if (Status dialog = openDialogLook(); !dialog) return dialog;
  openSound();
  events_.watch(*this);
  // The renderer's first frame costs far more than the later ones: pay for it before the
  // window shows and the clock starts.
  screen_.presentNow(device_.display());
  return {};
}

// The dialog's icon and font; the dialog is the one way to change the keys, so both must load.
Status FrontEnd::openDialogLook() {
  const std::string dialogIconPath = assets_ + "/" + std::string(kDialogIcon);
  dialogIcon_ = IMG_Load(dialogIconPath.c_str());
  if (!dialogIcon_) return failure("cannot use picture " + dialogIconPath + ": " + IMG_GetError());
  if (TTF_Init() != 0)
    return failure(std::string("cannot start the font library: ") + TTF_GetError());
  ttf_ = true;
  const std::string fontPath = assets_ + "/" + kFontFile;
  font_ = TTF_OpenFontDPI(fontPath.c_str(), 8, 96, 96);
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
    std::fprintf(stderr, "crateworks: sound files missing or unreadable in %s: %s\n",
                 options_.dataDir.c_str(), names.c_str());
  }
  if (!audio)
    std::fprintf(stderr, "crateworks: no sound device (%s); the game runs silent\n",
                 audio.error().c_str());
}

int FrontEnd::run() {
  beginRecording();
  device_.start();
  // Core time starts once the window is up and shows its first picture: mapping it and the
  // first present into it can take a while on a real display (tens of milliseconds under Xvfb),
  // and the first ticks should not start out late because of it.
  presentGame(true);
  originNs_ = steadyNs();
  timeText_.setOrigin(wallNs());
  if (options_.playback) playNext();
  if (timing_) {
    timing_->setOrigin(originNs_, device_.display());
    device_.setTickObserver(timing_.get());
  }
  // A window destroyed under us ends the program as the window manager's close does.
  while (!quit_ && !device_.ended() && !windows_.gone()) {
    if (timing_) timing_->wake();
    const Millis now = realNow();
    pacer_.advance(now);
    if (quit_ || device_.ended()) break;
    // The screen shows the state after a batch of handlers, never one a hold interrupted.
    const bool settled = !pacer_.holding(now);
    presentGame(settled);
    presentDialog(settled, now);
    if (onWake) onWake();
    if (quit_) break;
    if (options_.recorder) options_.recorder->writeIfDue(steadyNs(), pacer_.target());
    events_.wait(nextWakeNs(now), talked_, [this](const SDL_Event& e) { pump(e); });
    talked_ = false;
  }
  endRecording();
  return status_;
}

// When the loop must wake next, on the steady clock: the pacer's time (the next tick a person
// notices, input, the end of a hold), the sound device's opening ahead of a sound and its
// closing after silence, the dialog's tooltips.
std::int64_t FrontEnd::nextWakeNs(Millis now) {
  Millis wakeAt = pacer_.wakeAt(now);
  // The next tick a person notices plays a sound, when that is known.
  const Millis soundAt = pacer_.soundAt();
  if (soundAt >= 0 && !sound_.deviceOpen() && sound_.canOpen()) {
    if (soundAt - now <= kSoundLeadMs)
      sound_.wake(steadyNs());
    else
      wakeAt = std::min(wakeAt, soundAt - kSoundLeadMs);
  }
  // Woken at an exact instant of the core's own millisecond grid, when the tick is due.
  std::int64_t wakeNs = originNs_ + wakeAt * 1'000'000;
  // Silent long enough, the device closes, unless a sound comes before it would have anyway.
  if (soundAt < 0 || (soundAt - now) * 1'000'000 >= MixerSound::kCloseAfterNs) {
    const std::int64_t closeNs = sound_.closeWhenSilent(steadyNs());
    if (closeNs >= 0) wakeNs = std::min(wakeNs, closeNs);
  }
  if (options_.recorder) wakeNs = std::min(wakeNs, options_.recorder->writeDueNs());
  if (dialog_.isOpen()) {
    talked_ = true;
    const Millis next = dialog_.nextChange(now);
    if (next >= 0) wakeNs = std::min(wakeNs, originNs_ + std::max(now, next) * 1'000'000);
  }
  return wakeNs;
}

// Someone set the wall clock (or the machine woke from a suspend): core time keeps its place
// on the steady clock, and the clock's text follows the wall clock from now on.
void FrontEnd::clockWasSet() {
  if (!clockWatch_.changed()) return;
  timeText_.setOrigin(wallNs() - (steadyNs() - originNs_));
  pacer_.forget();
}

Millis FrontEnd::arrival(const SDL_Event& e) const {
  // Event stamps are 32-bit milliseconds since SDL started; their age is exact even across a
  // wrap of the 32 bits.
  const Uint32 age = static_cast<Uint32>(SDL_GetTicks64()) - e.common.timestamp;
  return realNow() - static_cast<Millis>(age);
}

void FrontEnd::pump(const SDL_Event& e) {
  const Uint32 dialogId = dialog_.windowId();
  switch (e.type) {
    case SDL_QUIT:
      quit_ = true;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
      if (!options_.playback)
        pacer_.arrive(arrival(e), e);
      else if (input_.watching(e, screen_.windowId()))
        quit_ = true;  // Esc or ACL stops the playback
      break;
    case SDL_MOUSEMOTION:
      if (dialogId != 0 && e.motion.windowID == dialogId)
        dialog_.tooltips().pointerAt(dialog_.boxAt(e.motion.x, e.motion.y), realNow());
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
      if (windows_.take(e)) quit_ = true;
      break;
    default:
      if (pads_.arrive(e) && !options_.playback) pacer_.arrive(arrival(e), e);
      break;
  }
}

void FrontEnd::pumpWindowEvent(const SDL_Event& e) {
  const Uint32 dialogId = dialog_.windowId();
  const Uint8 what = e.window.event;
  if (dialogId != 0 && e.window.windowID == dialogId) {
    if (what == SDL_WINDOWEVENT_CLOSE && !options_.playback) pacer_.arrive(arrival(e), e);
    if (what == SDL_WINDOWEVENT_LEAVE) dialog_.tooltips().pointerAt(0, realNow());
    if (what == SDL_WINDOWEVENT_EXPOSED) dialog_.exposed();
    if (what == SDL_WINDOWEVENT_MINIMIZED) dialog_.minimised(realNow());
    if (what == SDL_WINDOWEVENT_RESTORED) dialog_.restored();
  } else if (e.window.windowID == screen_.windowId()) {
    if (what == SDL_WINDOWEVENT_EXPOSED || what == SDL_WINDOWEVENT_SHOWN ||
        what == SDL_WINDOWEVENT_RESTORED)
      screen_.exposed();
    if (what == SDL_WINDOWEVENT_SIZE_CHANGED) screen_.resized();
    // The window manager's close (there is no close box) ends the program like ACL.
    if (what == SDL_WINDOWEVENT_CLOSE) quit_ = true;
  }
}

// The textures went with the render device: load them again from where they came from. If
// they cannot be, the program ends, saying why, rather than draw without them.
void FrontEnd::reloadPictures() {
  if (Status loaded = screen_.reload(); !loaded) return endWithoutPictures(loaded.error());
  dialog_.exposed();
}

void FrontEnd::endWithoutPictures(const std::string& why) {
  std::fprintf(stderr, "crateworks: %s\n", why.c_str());
  status_ = 1;
  quit_ = true;
}

void FrontEnd::deliver(const SDL_Event& e) {
  if (e.type == SDL_USEREVENT && options_.playback) {
    const auto index = static_cast<std::size_t>(e.user.code);
    // A recorded press may play a sound, as a live one may.
    if (options_.playback->presses(index)) sound_.wake(steadyNs());
    options_.playback->act(index, device_);
    return playNext();
  }
  if (options_.recorder) options_.recorder->reached(pacer_.target());
  // A press may play a sound (a move, a start): the device opens before the handler runs.
  if (e.type == SDL_KEYDOWN || e.type == SDL_MOUSEBUTTONDOWN ||
      e.type == SDL_CONTROLLERBUTTONDOWN || e.type == SDL_CONTROLLERAXISMOTION)
    sound_.wake(steadyNs());
  if (onDeliver) onDeliver(e);
  const std::uint64_t before = device_.display().version();
  input_.deliver(e, screen_.windowId());
  if (timing_ && (e.type == SDL_KEYDOWN || e.type == SDL_KEYUP)) {
    const std::uint64_t after = device_.display().version();
    timing_->keyHandled(after != before, after, device_.now());
  }
}

void FrontEnd::presentGame(bool settled) {
  const GameScreen::Presented p =
      screen_.present(device_.display(), settled, timing_ ? &steadyNs : nullptr);
  if (!p.failure.empty()) return endWithoutPictures(p.failure);  // none for the new size
  if (p.drawn) talked_ = true;
  if (timing_) timing_->screen(p.version, p.drawn, p.drawStartNs);
}

void FrontEnd::presentDialog(bool settled, Millis now) {
  if (!settled || !dialog_.isOpen() || !device_.dialog()) return;
  if (onDialogFrame) {
    // A test sees the dialog as it is about to be presented.
    dialog_.draw(*device_.dialog(), dialog_.tooltips().shown(now));
    onDialogFrame(dialog_.renderer());
    dialog_.exposed();
  }
  dialog_.update(*device_.dialog(), now);
}

void FrontEnd::showGameWindow(bool shown, bool) {
  // A disabled window needs nothing here: the device gives it no input then.
  if (shown != screen_.visible()) talked_ = true;
  // Showing waits until the window maps, which one destroyed under us never does.
  if (shown && !screen_.visible() && !windows_.stillThere(screen_.window())) {
    quit_ = true;
    return;
  }
  screen_.show(shown);
}

void FrontEnd::showDialog(bool open) {
  input_.dialogChanged();
  talked_ = true;
  if (!open) {
    windows_.forget(dialog_.window());
    dialog_.close();
    return;
  }
  if (Status opened = dialog_.open(font_, dialogIcon_, screen_.window(), screen_.scale()); !opened)
    std::fprintf(stderr, "crateworks: cannot open the key dialog: %s\n", opened.error().c_str());
  windows_.watch(dialog_.window());
}

}  // namespace cw
