// The benchmark's player: plays the real game in its window as a person would, by looking at
// the screen and pressing keys through the X server.
//
//   crateworks-seeing-player --probes ASSETS_DIR > PROBES   # once: where to look
//   crateworks-seeing-player PROBES WINDOW_ID SECONDS [SCALE]  # play; SCALE (a whole number,
//                                                               # 1 by default) the game's --scale
//
// Finding where to look means reading every picture, which takes a core for a while: it is done
// once, before the game starts, so that it does not disturb the game being measured.
//
// Several times a second it takes the window's picture from the X server and reads which crates
// are on the line and where the two workers stand: for every such segment, a few pixels where
// its picture alone has ink are dark when it is lit. From that it picks the key a good player
// would press (the autoplayer's choice) and presses it with xdotool, whose key presses enter the
// X server as a keyboard's do. F2 starts a new game B (the busier one) whenever none runs. A key
// follows a key only once the screen has shown the move, so that the player does not run ahead
// of the game. At the end it prints how many keys it pressed.
#include <SDL.h>
#include <SDL_image.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/display/layout.h"
#include "core/shell/game_state.h"
#include "core/shell/line_geometry.h"
#include "support/autoplayer.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Probe {
  cw::Group group;
  int member;
  std::vector<std::pair<int, int>> points;  // window pixels where only this segment has ink
};

bool watched(cw::Group g) {
  return g == cw::Group::Blocco || g == cw::Group::Bepo || g == cw::Group::Nando;
}

// The probes of every crate step and worker pose, from the pictures and their places.
std::vector<Probe> makeProbes(const std::string& assets) {
  const auto all = cw::segments();
  std::vector<int> cover(cw::kWindowWidth * cw::kWindowHeight, 0);
  std::vector<std::vector<std::pair<int, int>>> solid(all.size());
  for (std::size_t i = 0; i < all.size(); ++i) {
    const cw::SegmentInfo& s = all[i];
    // Digit places and buttons change or are pressed; they are not looked at.
    if (s.picture == cw::kBlankPicture || s.group == cw::Group::Punti ||
        s.group == cw::Group::Vuoto || s.group >= cw::Group::ButtonA)
      continue;
    const std::string path = assets + "/" + std::string(s.picture);
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) continue;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) continue;
    for (int y = 0; y < rgba->h; ++y) {
      const Uint8* row = static_cast<const Uint8*>(rgba->pixels) + y * rgba->pitch;
      for (int x = 0; x < rgba->w; ++x) {
        const int wx = s.x + x, wy = s.y + y;
        const Uint8 a = row[4 * x + 3];
        if (a <= 8 || wx >= cw::kWindowWidth || wy >= cw::kWindowHeight) continue;
        ++cover[wy * cw::kWindowWidth + wx];
        if (a >= 250) solid[i].emplace_back(wx, wy);
      }
    }
    SDL_FreeSurface(rgba);
  }
  std::vector<Probe> probes;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (!watched(all[i].group)) continue;
    Probe p{all[i].group, all[i].member, {}};
    for (auto [x, y] : solid[i])
      if (cover[y * cw::kWindowWidth + x] == 1) p.points.emplace_back(x, y);
    if (p.points.size() < 4) continue;
    // Some forty points are plenty to tell ink from the bare LCD.
    std::vector<std::pair<int, int>> some;
    const std::size_t step = std::max<std::size_t>(1, p.points.size() / 40);
    for (std::size_t k = 0; k < p.points.size(); k += step) some.push_back(p.points[k]);
    p.points = std::move(some);
    probes.push_back(std::move(p));
  }
  return probes;
}

// The window's picture, fetched through shared memory: the player must cost the machine little,
// or it would disturb what it measures.
class Capture {
 public:
  Capture(Display* x, Window w, int scale) : x_(x), w_(w) {
    XWindowAttributes a;
    if (!XShmQueryExtension(x) || !XGetWindowAttributes(x, w, &a)) return;
    image_ = XShmCreateImage(x, a.visual, a.depth, ZPixmap, nullptr, &shm_,
                             cw::kWindowWidth * scale, cw::kWindowHeight * scale);
    if (!image_) return;
    shm_.shmid = shmget(IPC_PRIVATE, image_->bytes_per_line * image_->height, IPC_CREAT | 0600);
    shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
    shm_.readOnly = False;
    XShmAttach(x, &shm_);
    XSync(x, False);
    shmctl(shm_.shmid, IPC_RMID, nullptr);
  }
  ~Capture() {
    if (!image_) return;
    XShmDetach(x_, &shm_);
    XDestroyImage(image_);
    shmdt(shm_.shmaddr);
  }
  Capture(const Capture&) = delete;
  Capture& operator=(const Capture&) = delete;
  XImage* take() {
    return image_ && XShmGetImage(x_, w_, image_, 0, 0, AllPlanes) ? image_ : nullptr;
  }

 private:
  Display* x_;
  Window w_;
  XShmSegmentInfo shm_{};
  XImage* image_ = nullptr;
};

bool lit(XImage* image, const Probe& p) {
  int dark = 0;
  for (auto [x, y] : p.points) {
    const unsigned long px = XGetPixel(image, x, y);
    const int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    if ((299 * r + 587 * g + 114 * b) / 1000 < 95) ++dark;
  }
  return dark * 10 >= static_cast<int>(p.points.size()) * 7;
}

// The game as the screen shows it: the crates on the line and the workers' poses.
std::optional<cw::GameState> look(Capture& capture, const std::vector<Probe>& probes) {
  XImage* image = capture.take();
  if (!image) return std::nullopt;
  cw::GameState s;
  s.GameRunning = 1;
  s.MovesLocked = 0;
  s.KeyNandoUp = 'Q';
  s.KeyNandoDown = 'A';
  s.KeyBepoUp = 'P';
  s.KeyBepoDown = 'L';
  s.BepoPose = 0;
  s.NandoPose = 0;
  int crates = 0;
  for (const Probe& p : probes) {
    if (!lit(image, p)) continue;
    if (p.group == cw::Group::Bepo) s.BepoPose = p.member;
    if (p.group == cw::Group::Nando) s.NandoPose = p.member;
    if (p.group == cw::Group::Blocco && p.member <= cw::kLastStep && crates < 6) {
      ++crates;
      s.CrateActive[crates] = 1;
      s.CratePos[crates] = p.member;
    }
  }
  return s;
}

void press(const char* key) {
  const std::string command = std::string("xdotool key ") + key;
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "player: %s failed\n", key);
}

}  // namespace

// Probes as lines: group, member, then the points' x and y.
void writeProbes(const std::vector<Probe>& probes) {
  for (const Probe& p : probes) {
    std::printf("%d %d", static_cast<int>(p.group), p.member);
    for (auto [x, y] : p.points) std::printf(" %d %d", x, y);
    std::printf("\n");
  }
}

std::vector<Probe> readProbes(const char* path) {
  std::vector<Probe> probes;
  std::FILE* f = std::fopen(path, "r");
  if (!f) return probes;
  char line[8192];
  while (std::fgets(line, sizeof line, f)) {
    char* at = line;
    char* end = nullptr;
    Probe p{static_cast<cw::Group>(std::strtol(at, &end, 10)), 0, {}};
    p.member = static_cast<int>(std::strtol(at = end, &end, 10));
    for (;;) {
      const long x = std::strtol(at = end, &end, 10);
      if (end == at) break;
      const long y = std::strtol(at = end, &end, 10);
      if (end == at) break;
      p.points.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
    if (!p.points.empty()) probes.push_back(std::move(p));
  }
  std::fclose(f);
  return probes;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--probes") {
    writeProbes(makeProbes(argv[2]));
    return 0;
  }
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr,
                 "usage: crateworks-seeing-player --probes ASSETS_DIR > PROBES\n"
                 "       crateworks-seeing-player PROBES WINDOW_ID SECONDS [SCALE]\n");
    return 2;
  }
  // At a whole scale each logical pixel is a square of pixels; its middle is looked at.
  const int scale = argc == 5 ? std::max(1, std::atoi(argv[4])) : 1;
  std::vector<Probe> probes = readProbes(argv[1]);
  for (Probe& p : probes)
    for (auto& [x, y] : p.points) {
      x = x * scale + scale / 2;
      y = y * scale + scale / 2;
    }
  const Window window = std::strtoul(argv[2], nullptr, 0);
  const auto end = Clock::now() + std::chrono::duration<double>(std::atof(argv[3]));
  Display* x = XOpenDisplay(nullptr);
  if (!x || probes.empty()) {
    std::fprintf(stderr, "player: no display, or no segment to look at\n");
    return 1;
  }
  Capture capture(x, window, scale);
  auto lastStart = Clock::now() - std::chrono::seconds(10);
  auto lastKey = lastStart;
  int pressedFrom = -1;  // the pose a move was asked from, until the screen shows it changed
  int keys = 0;
  while (Clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    const std::optional<cw::GameState> seen = look(capture, probes);
    if (!seen) break;
    const auto now = Clock::now();
    // No worker standing on a belt: no game runs (or a break, where F1 does nothing).
    const bool standing =
        cw::levelOf(seen->BepoPose).has_value() || cw::levelOf(seen->NandoPose).has_value();
    if (!standing) {
      if (now - lastStart > std::chrono::seconds(2)) {
        press("F2");
        ++keys;
        lastStart = now;
      }
      continue;
    }
    const int poses = seen->BepoPose * 16 + seen->NandoPose;
    if (pressedFrom == poses && now - lastKey < std::chrono::milliseconds(400)) continue;
    const std::optional<int> key = cw::autoplayerKey(*seen);
    if (!key) continue;
    const char name[2] = {static_cast<char>(*key - 'A' + 'a'), '\0'};
    press(name);
    ++keys;
    lastKey = now;
    pressedFrom = poses;
  }
  std::printf("%d\n", keys);
  return 0;
}
