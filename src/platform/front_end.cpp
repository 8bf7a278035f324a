#include "platform/front_end.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "platform/vk.h"

namespace cw {
namespace {

constexpr const char* kFontFile = "DejaVuSans.ttf";

// The casing drags the window; the four buttons keep their own mouse input.
SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* p, void*) {
  return onCasingButton(p->x, p->y) ? SDL_HITTEST_NORMAL : SDL_HITTEST_DRAGGABLE;
}

SDL_Renderer* makeRenderer(SDL_Window* w) {
  // No vsync: presenting must never block the 2 ms timer.
  if (SDL_Renderer* r = SDL_CreateRenderer(w, -1, 0)) return r;
  return SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

FrontEnd::FrontEnd(FrontEndOptions options)
    : options_(std::move(options)),
      assets_(options_.dataDir + "/assets"),
      sound_(options_.dataDir),
      random_(static_cast<std::uint64_t>(std::time(nullptr))),
      keyFile_(options_.keyFilePath),
      device_(Seams{sound_, timeText_, random_, keyFile_, *this}),
      pacer_(device_, [this](const SDL_Event& e) { deliver(e); }),
      timing_(TimingLog::fromEnvironment()) {}

FrontEnd::~FrontEnd() {
  if (timing_ && sdl_) SDL_DelEventWatch(&TimingLog::watch, timing_.get());
  dialog_.close();
  if (font_) TTF_CloseFont(font_);
  if (dialogIcon_) SDL_FreeSurface(dialogIcon_);
  if (ttf_) TTF_Quit();
  frame_.release();  // the textures go before their renderer, which would free them under it
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
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
  // Only video and audio: an open joystick would turn the event wait into polling.
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
  window_ =
      SDL_CreateWindow("Crateworks Sim", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                       kWindowWidth, kWindowHeight, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (window_) renderer_ = makeRenderer(window_);
  if (!renderer_) return failure(std::string("cannot open a window: ") + SDL_GetError());
  SDL_SetWindowHitTest(window_, hitTest, nullptr);
  events_.attach(window_);
  // Keys only, never composed text: an input method must not swallow presses.
  SDL_StopTextInput();

  if (Status loaded = frame_.load(renderer_, assets_); !loaded) return loaded;
  const std::string iconPath = assets_ + "/" + std::string(kWindowIcon);
  SDL_Surface* icon = IMG_Load(iconPath.c_str());
  if (!icon) return failure("cannot use picture " + iconPath + ": " + IMG_GetError());
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
  const std::string dialogIconPath = assets_ + "/" + std::string(kDialogIcon);
  dialogIcon_ = IMG_Load(dialogIconPath.c_str());
  if (!dialogIcon_) return failure("cannot use picture " + dialogIconPath + ": " + IMG_GetError());

  if (TTF_Init() != 0)
    return failure(std::string("cannot start the font library: ") + TTF_GetError());
  ttf_ = true;
  const std::string fontPath = assets_ + "/" + kFontFile;
  font_ = TTF_OpenFontDPI(fontPath.c_str(), 8, 96, 96);
  if (!font_) return failure("cannot use font " + fontPath + ": " + TTF_GetError());

  (void)sound_.open();  // without a device the game runs silently
  // The renderer's first frame costs far more than the later ones: pay for it before the
  // window shows and the clock starts.
  frame_.draw(renderer_, FrameState::of(device_.display()));
  SDL_RenderPresent(renderer_);
  return {};
}

int FrontEnd::run() {
  device_.start();
  // Core time starts once the window is up and shows its first picture: mapping it and the
  // first present into it can take a while on a real display (tens of milliseconds under Xvfb),
  // and the first ticks should not start out late because of it.
  presentGame(true);
  originNs_ = steadyNs();
  if (timing_) {
    timing_->setOrigin(originNs_);
    device_.setTickObserver(timing_.get());
  }
  while (!quit_ && !device_.ended()) {
    if (timing_) timing_->wake();
    const Millis now = realNow();
    pacer_.advance(now);
    if (quit_ || device_.ended()) break;
    // The screen shows the state after a batch of handlers, never one a hold interrupted.
    const bool settled = !pacer_.holding(now);
    presentGame(settled);
    if (settled && dialog_.isOpen() && device_.dialog()) {
      if (onDialogFrame) {
        // A test sees the dialog as it is about to be presented.
        dialog_.draw(*device_.dialog(), dialog_.tooltips().shown(now));
        onDialogFrame(dialog_.renderer());
        dialog_.exposed();
      }
      dialog_.update(*device_.dialog(), now);
    }
    if (onWake) onWake();
    if (quit_) break;

    // Woken on the core's own millisecond grid, not some time after the present moment: a
    // wake-up then comes exactly as late as the pacer allows, no later.
    Millis wakeAt = now + pacer_.sleepMs(now);
    if (dialog_.isOpen()) {
      talked_ = true;
      const Millis tip = dialog_.tooltips().nextChange(now);
      if (tip >= 0) wakeAt = std::min(wakeAt, std::max(now, tip));
    }
    events_.wait(originNs_ + wakeAt * 1'000'000, talked_, [this](const SDL_Event& e) { pump(e); });
    talked_ = false;
  }
  return status_;
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
      pacer_.arrive(arrival(e), e);
      break;
    case SDL_MOUSEMOTION:
      if (dialogId != 0 && e.motion.windowID == dialogId)
        dialog_.tooltips().pointerAt(dialogBoxAt(e.motion.x, e.motion.y), realNow());
      break;
    case SDL_WINDOWEVENT:
      if (dialogId != 0 && e.window.windowID == dialogId) {
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) pacer_.arrive(arrival(e), e);
        if (e.window.event == SDL_WINDOWEVENT_LEAVE) dialog_.tooltips().pointerAt(0, realNow());
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED) dialog_.exposed();
      } else if (window_ && e.window.windowID == SDL_GetWindowID(window_)) {
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
            e.window.event == SDL_WINDOWEVENT_RESTORED)
          gameDirty_ = true;
        // The window manager's close (there is no close box) ends the program like ACL.
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) quit_ = true;
      }
      break;
    case SDL_RENDER_TARGETS_RESET:
      gameDirty_ = true;
      dialog_.exposed();
      break;
    case SDL_RENDER_DEVICE_RESET:
      reloadPictures();
      break;
    default:
      break;
  }
}

// The textures went with the render device: load them again from where they came from. If
// they cannot be, the program ends, saying why, rather than draw without them.
void FrontEnd::reloadPictures() {
  if (Status loaded = frame_.load(renderer_, assets_); !loaded) {
    std::fprintf(stderr, "crateworks: %s\n", loaded.error().c_str());
    status_ = 1;
    quit_ = true;
    return;
  }
  gameDirty_ = true;
  dialog_.exposed();
}

void FrontEnd::deliver(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const std::uint64_t before = device_.display().version();
      deliverKey(e);
      if (timing_) {
        const std::uint64_t after = device_.display().version();
        timing_->keyHandled(after != before, after, device_.now());
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (window_ && e.button.windowID == SDL_GetWindowID(window_))
        deliverGameMouse(e);
      else if (dialog_.isOpen() && e.button.windowID == dialog_.windowId())
        deliverDialogMouse(e);
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE && dialog_.isOpen() &&
          e.window.windowID == dialog_.windowId()) {
        if (Status saved = device_.closeDialog(); !saved)
          std::fprintf(stderr, "crateworks: key file not saved: %s\n", saved.error().c_str());
      }
      break;
    default:
      break;
  }
}

void FrontEnd::deliverKey(const SDL_Event& e) {
  const SDL_Keysym& k = e.key.keysym;
  if (e.type == SDL_KEYDOWN) {
    // A held key's repeats are further presses: the game moves again on each.
    const int code = virtualKeyCode(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
    if (!e.key.repeat || downCode_[k.scancode] == 0) downCode_[k.scancode] = code;
    if (code == 0) return;
    if (dialog_.isOpen()) {
      dialog_.tooltips().dismiss();
      if (code == 9) dialog_.tab((k.mod & KMOD_SHIFT) != 0);
    }
    device_.keyDown(code);
  } else {
    int code = downCode_[k.scancode];
    if (code == 0) code = virtualKeyCode(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
    downCode_[k.scancode] = 0;
    if (code != 0) device_.keyUp(code);
  }
}

void FrontEnd::deliverGameMouse(const SDL_Event& e) {
  // Left, middle and right press the casing buttons; only the left one clicks.
  const int slot = e.button.button;
  if (slot < SDL_BUTTON_LEFT || slot > SDL_BUTTON_RIGHT) return;
  const bool left = slot == SDL_BUTTON_LEFT;
  const std::optional<Group> at = mouseSegmentAt(device_.display(), e.button.x, e.button.y);
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (at == Group::ButtonA || at == Group::ButtonB) {
      pressOwner_[slot] = at;
      device_.mouseDown(*at);
    } else if (left) {
      clickCandidate_ = at;  // ButtonTime, ACL or nothing
    }
    return;
  }
  // The release goes to the button that took the press, wherever the pointer is now.
  if (pressOwner_[slot]) {
    const Group owner = *pressOwner_[slot];
    pressOwner_[slot].reset();
    device_.mouseUp(owner);
  } else if (left) {
    const std::optional<Group> pressed = clickCandidate_;
    clickCandidate_.reset();
    if (pressed && pressed == at) device_.click(*pressed);
  }
}

void FrontEnd::deliverDialogMouse(const SDL_Event& e) {
  if (e.type == SDL_MOUSEBUTTONDOWN) dialog_.tooltips().dismiss();
  if (e.button.button != SDL_BUTTON_LEFT) return;
  const int label = dialogLabelAt(e.button.x, e.button.y);
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    labelCandidate_ = label;
    return;
  }
  const int pressed = labelCandidate_;
  labelCandidate_ = 0;
  if (pressed != 0 && pressed == label) device_.clickLabel(label);
}

void FrontEnd::presentGame(bool settled) {
  const Display& display = device_.display();
  if (settled && shownVersion_ != display.version()) {
    const FrameState now = FrameState::of(display);
    if (!(now == shown_) || !shownVersion_) gameDirty_ = true;
    shown_ = now;
    shownVersion_ = display.version();
  }
  const bool draw = gameDirty_ && gameVisible_;
  const std::int64_t drawStart = timing_ && draw ? steadyNs() : 0;
  if (draw) {
    frame_.draw(renderer_, shown_);
    if (onGameFrame) onGameFrame(renderer_);
    SDL_RenderPresent(renderer_);
    gameDirty_ = false;
    talked_ = true;
  }
  if (timing_ && shownVersion_) timing_->screen(*shownVersion_, draw, drawStart);
}

void FrontEnd::showGameWindow(bool shown, bool) {
  // A disabled window needs nothing here: the device gives it no input then.
  if (!window_ || shown == gameVisible_) return;
  gameVisible_ = shown;
  talked_ = true;
  if (shown) {
    SDL_ShowWindow(window_);
    // Without a window manager nobody hands the focus back after the dialog closes.
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
    gameDirty_ = true;
  } else {
    SDL_HideWindow(window_);
  }
}

void FrontEnd::showDialog(bool open) {
  labelCandidate_ = 0;
  talked_ = true;
  if (!open) {
    dialog_.close();
    return;
  }
  if (Status opened = dialog_.open(font_, dialogIcon_); !opened)
    std::fprintf(stderr, "crateworks: cannot open the key dialog: %s\n", opened.error().c_str());
}

}  // namespace cw
