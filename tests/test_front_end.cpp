// The live front end on SDL's dummy video driver: what the window shows and how input reaches
// the device. Input is pushed as SDL events and runs through the real event loop.
#include <gtest/gtest.h>

#include <SDL_image.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "core/scenario/print.h"
#include "replay/replay_session.h"
#include "sdl/loop/front_end.h"
#include "sdl/loop/session_files.h"
#include "support/environment.h"
#include "support/null_world.h"
#include "support/virtual_pad.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

// SDL's drivers for these tests, unless the environment names others. (ctest's ENVIRONMENT
// property, given through gtest_discover_tests, passes on only the first of a list.)
const bool kDrivers = [] {
  for (const char* name : {"SDL_VIDEODRIVER", "SDL_AUDIODRIVER"})
    if (getEnv(name).empty()) setEnv(name, "dummy");
  if (getEnv("SDL_RENDER_DRIVER").empty()) setEnv("SDL_RENDER_DRIVER", "software");
  return true;
}();

constexpr SDL_Color kCasing{90, 90, 90, 255};

// A colour of its own for every picture file; the blank picture is fully transparent.
std::map<std::string, SDL_Color> pictureColours() {
  std::set<std::string> files;
  for (const SegmentInfo& s : segments()) files.insert(std::string(s.picture));
  std::map<std::string, SDL_Color> colours;
  int i = 0;
  for (const std::string& f : files) {
    ++i;
    colours[f] = f == kBlankPicture
                     ? SDL_Color{0, 0, 0, 0}
                     : SDL_Color{static_cast<Uint8>(20 + 3 * i), static_cast<Uint8>(250 - 3 * i),
                                 static_cast<Uint8>(7 * i % 256), 255};
  }
  return colours;
}

void writePicture(const fs::path& path, int w, int h, SDL_Color c) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
  ASSERT_NE(s, nullptr);
  SDL_FillRect(s, nullptr, SDL_MapRGBA(s->format, c.r, c.g, c.b, c.a));
  ASSERT_EQ(IMG_SavePNG(s, path.string().c_str()), 0) << IMG_GetError();
  SDL_FreeSurface(s);
}

// A data folder with plain pictures whose colours tell which segment shows where, the real
// font, and no sounds (so nothing holds).
class FrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("cw-front-end-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "assets");
    fs::create_directories(dir / "audio");
    writePicture(dir / "assets" / std::string(kCasingPicture), kCasingWidth, kCasingHeight,
                 kCasing);
    writePicture(dir / "assets" / std::string(kWindowIcon), 48, 64, kCasing);
    writePicture(dir / "assets" / std::string(kDialogIcon), 15, 26, kCasing);
    for (const SegmentInfo& s : segments()) {
      const fs::path p = dir / "assets" / std::string(s.picture);
      if (!fs::exists(p)) writePicture(p, s.w, s.h, colours.at(std::string(s.picture)));
    }
    fs::copy_file(fs::path(CW_SOURCE_DIR) / "assets" / "DejaVuSans.ttf",
                  dir / "assets" / "DejaVuSans.ttf");
    keyFile = (dir / "crateworks.key").string();
  }
  void TearDown() override { fs::remove_all(dir); }

  // The same plain pictures, `set` times their size, as the 2x or 3x set.
  void writePictureSet(int set) {
    const fs::path folder = dir / "assets" / (std::to_string(set) + "x");
    fs::create_directories(folder);
    writePicture(folder / std::string(kCasingPicture), kCasingWidth * set, kCasingHeight * set,
                 kCasing);
    for (const SegmentInfo& s : segments()) {
      const fs::path p = folder / std::string(s.picture);
      if (!fs::exists(p)) writePicture(p, s.w * set, s.h * set, colours.at(std::string(s.picture)));
    }
  }

  FrontEndOptions options(ScreenOptions screen = {}) const {
    screen.confPath = (dir / "crateworks.conf").string();
    return {dir.string(), keyFile, false, screen};
  }

  // The colour the window must show at (x, y) for a display state: the last shown segment
  // drawn there, else the casing.
  SDL_Color expected(const Display& d, int x, int y) const {
    SDL_Color c = kCasing;
    const auto all = segments();
    for (int i = 0; i < kSegmentCount; ++i) {
      if (!d.shownAt(i)) continue;
      const SegmentInfo& at = all[i];
      const SegmentInfo& source = all[d.pictureSource(i)];
      if (x < at.x || x >= at.x + source.w || y < at.y || y >= at.y + source.h) continue;
      const SDL_Color p = colours.at(std::string(source.picture));
      if (p.a != 0) c = p;
    }
    return c;
  }

  // Compares a frame with the display pixel by pixel, at a whole scale; returns how many
  // pixels differ.
  int differences(const std::vector<Uint32>& pixels, const Display& d, int scale = 1) const {
    int wrong = 0;
    for (int y = 0; y < kWindowHeight * scale; ++y) {
      for (int x = 0; x < kWindowWidth * scale; ++x) {
        const Uint32 p = pixels[y * kWindowWidth * scale + x];
        const SDL_Color e = expected(d, x / scale, y / scale);
        const Uint32 want = (Uint32{e.r} << 16) | (Uint32{e.g} << 8) | e.b;
        if ((p & 0xFFFFFF) != want) ++wrong;
      }
    }
    return wrong;
  }

  static std::vector<Uint32> read(SDL_Renderer* r, int w, int h) {
    std::vector<Uint32> pixels(static_cast<std::size_t>(w) * h);
    EXPECT_EQ(SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels.data(), w * 4), 0);
    return pixels;
  }
  static Uint32 at(const std::vector<Uint32>& pixels, int x, int y) {
    return pixels[y * kWindowWidth + x] & 0xFFFFFF;
  }

  fs::path dir;
  std::string keyFile;
  std::map<std::string, SDL_Color> colours = pictureColours();
};

void push(SDL_Event e) {
  ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

void pushKey(Uint32 type, SDL_Scancode sc, SDL_Keycode sym) {
  SDL_Event e{};
  e.type = type;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.scancode = sc;
  e.key.keysym.sym = sym;
  push(e);
}

void pushTap(SDL_Scancode sc, SDL_Keycode sym) {
  pushKey(SDL_KEYDOWN, sc, sym);
  pushKey(SDL_KEYUP, sc, sym);
}

void pushMouse(SDL_Window* w, Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event e{};
  e.type = type;
  e.button.windowID = SDL_GetWindowID(w);
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.x = x;
  e.button.y = y;
  push(e);
}

void pushClick(SDL_Window* w, int x, int y) {
  pushMouse(w, SDL_MOUSEBUTTONDOWN, x, y);
  pushMouse(w, SDL_MOUSEBUTTONUP, x, y);
}

// The whole file at `path`, empty when there is none.
std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The close box of the window `id`, as the window manager reports it.
void pushClose(Uint32 id) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = id;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  push(e);
}

void pushQuit() {
  SDL_Event e{};
  e.type = SDL_QUIT;
  push(e);
}

TEST_F(FrontEndTest, FirstFrameShowsTheWholeLcdLitOverTheCasing) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  std::vector<Uint32> first;
  int wrong = -1;
  fe.onGameFrame() = [&](SDL_Renderer* r) {
    if (!first.empty()) return;
    first = read(r, kWindowWidth, kWindowHeight);
    wrong = differences(first, fe.device().display());
    pushQuit();
  };
  EXPECT_EQ(fe.run(), 0);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(wrong, 0);
  int w = 0, h = 0;
  SDL_GetWindowSize(fe.gameWindow(), &w, &h);
  EXPECT_EQ(w, 802);
  EXPECT_EQ(h, 448);
  EXPECT_STREQ(SDL_GetWindowTitle(fe.gameWindow()), "Crateworks Sim");
  EXPECT_TRUE(SDL_GetWindowFlags(fe.gameWindow()) & SDL_WINDOW_BORDERLESS);
  // Spots where one segment alone lies show its picture, not the casing: a worker, the truck,
  // a crate at its step and the mode marks; the hidden colon shows the casing.
  const auto colourOf = [&](Group g, int m) {
    const SDL_Color c = colours.at(std::string(segments()[segmentIndex(g, m)].picture));
    return (Uint32{c.r} << 16) | (Uint32{c.g} << 8) | c.b;
  };
  EXPECT_EQ(at(first, 80, 140), colourOf(Group::Camion, 0));
  EXPECT_EQ(at(first, 290, 230), colourOf(Group::IMGameA, 0));
  EXPECT_EQ(at(first, 500, 230), colourOf(Group::IMGameB, 0));
  EXPECT_EQ(at(first, 200, 230), colourOf(Group::Crash3, 0));
  EXPECT_EQ(at(first, 706, 60), 0x5A5A5Au);
}

TEST_F(FrontEndTest, ACasingWithSeeThroughPartsShowsTheBackdropThere) {
  // Where the window cannot show the desktop through the casing, its clear parts (the shell's
  // corners, the hinge gap) show the casing's dark backdrop.
  writePicture(dir / "assets" / std::string(kCasingPicture), kCasingWidth, kCasingHeight,
               {90, 90, 90, 0});
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  std::vector<Uint32> first;
  fe.onGameFrame() = [&](SDL_Renderer* r) {
    if (!first.empty()) return;
    first = read(r, kWindowWidth, kWindowHeight);
    pushQuit();
  };
  EXPECT_EQ(fe.run(), 0);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(at(first, 706, 60), 0x24211Eu);  // bare casing
  const SDL_Color camion =
      colours.at(std::string(segments()[segmentIndex(Group::Camion, 0)].picture));
  EXPECT_EQ(at(first, 80, 140), (Uint32{camion.r} << 16) | (Uint32{camion.g} << 8) | camion.b);
}

// Every frame shows the display exactly: the whole one after F1 and the partial ones that follow
// it as crates move (the software renderer then draws and sends only what changed), at 1x and
// at 2x.
TEST_F(FrontEndTest, F1StartsAGameAndEveryFrameFollowsTheDisplay) {
  writePictureSet(2);
  for (int scale : {1, 2}) {
    ScreenOptions chosen;
    chosen.scale = scale;
    FrontEnd fe(options(chosen));
    ASSERT_TRUE(fe.open());
    int frames = 0;
    int checked = 0;
    int worst = 0;
    fe.onGameFrame() = [&](SDL_Renderer* r) {
      if (frames++ == 0) {
        pushTap(SDL_SCANCODE_F1, SDLK_F1);
        return;
      }
      if (fe.device().state().GameRunning != 1) return;
      const auto pixels = read(r, scale * kWindowWidth, scale * kWindowHeight);
      worst = std::max(worst, differences(pixels, fe.device().display(), scale));
      if (++checked == 5) pushQuit();
    };
    EXPECT_EQ(fe.run(), 0);
    EXPECT_EQ(checked, 5) << scale;
    EXPECT_EQ(worst, 0) << scale;
    const Display& d = fe.device().display();
    EXPECT_TRUE(d.shown(Group::IMGameA));
    EXPECT_FALSE(d.shown(Group::IMGameB));
    EXPECT_FALSE(fe.device().ended());
  }
}

TEST_F(FrontEndTest, EscEndsTheProgramAtOnce) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  pushTap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
  EXPECT_EQ(fe.run(), 0);
  EXPECT_TRUE(fe.device().ended());
}

// Where the loop sleeps in SDL's own wait (on Wayland; here the dummy driver), a wake source
// that speaks (a pad's device, the wall clock being set) is still heard. Wake sources are file
// descriptors, which only the POSIX systems' loops watch.
#ifndef _WIN32
TEST_F(FrontEndTest, UnderSdlsOwnWaitAWakeSourceIsStillHeard) {
  struct Pipe final : WakeSource {
    int ends[2] = {-1, -1};
    bool heard = false;
    void wakeFds(std::vector<int>& fds) const override { fds.push_back(ends[0]); }
    void woken(int fd, short) override {
      char c = 0;
      heard = ::read(fd, &c, 1) == 1;
      pushQuit();
    }
  } source;
  ASSERT_EQ(::pipe(source.ends), 0);
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  fe.watch(source);
  ASSERT_EQ(::write(source.ends[1], "x", 1), 1);
  // Never heard, the idle game would wait for ever: it is ended after a while instead.
  const Uint64 giveUp = SDL_GetTicks64() + 10'000;
  fe.onWake = [&] {
    if (SDL_GetTicks64() > giveUp) pushQuit();
  };
  EXPECT_EQ(fe.run(), 0);
  EXPECT_TRUE(source.heard);
  ::close(source.ends[0]);
  ::close(source.ends[1]);
}
#endif

// Runs the front end doing one step per pass of its loop (the events a step pushes are
// handled before the next step), and quits after the last step.
int runSteps(FrontEnd& fe, std::vector<std::function<void()>> steps) {
  std::size_t next = 0;
  fe.onWake = [&] {
    if (next < steps.size())
      steps[next++]();
    else
      pushQuit();
  };
  return fe.run();
}

TEST_F(FrontEndTest, AclTakesAClickOnlyWhenPressAndReleaseAreOnIt) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  SDL_Window* w = fe.gameWindow();
  bool endedEarly = true;
  EXPECT_EQ(runSteps(fe, {[&] {
                            pushMouse(w, SDL_MOUSEBUTTONDOWN, 258, 317);  // pressed on ACL only
                            pushMouse(w, SDL_MOUSEBUTTONUP, 300, 317);
                            pushMouse(w, SDL_MOUSEBUTTONDOWN, 300, 317);  // released on it only
                            pushMouse(w, SDL_MOUSEBUTTONUP, 258, 317);
                            pushMouse(w, SDL_MOUSEBUTTONDOWN, 258, 317, SDL_BUTTON_RIGHT);
                            pushMouse(w, SDL_MOUSEBUTTONUP, 258, 317, SDL_BUTTON_RIGHT);
                          },
                          [&] {
                            endedEarly = fe.device().ended();
                            pushClick(w, 258, 317);
                          },
                          [] { ADD_FAILURE() << "still running after the click on ACL"; }}),
            0);
  EXPECT_FALSE(endedEarly);
  EXPECT_TRUE(fe.device().ended());
}

TEST_F(FrontEndTest, AStartButtonTakesAnyMouseButtonAndItsReleaseWhereverItHappens) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  SDL_Window* w = fe.gameWindow();
  const Display& d = fe.device().display();
  EXPECT_EQ(runSteps(fe, {[&] { pushMouse(w, SDL_MOUSEBUTTONDOWN, 480, 300, SDL_BUTTON_RIGHT); },
                          [&] {
                            EXPECT_EQ(fe.device().state().GameRunning, 1);
                            EXPECT_EQ(fe.device().state().GameMode, "A");
                            EXPECT_FALSE(d.shown(Group::ButtonA));  // looks pressed
                            // Released over the casing, far from the (hidden) button.
                            pushMouse(w, SDL_MOUSEBUTTONUP, 10, 10, SDL_BUTTON_RIGHT);
                          },
                          [&] {
                            EXPECT_TRUE(d.shown(Group::ButtonA));
                            // B during a game: pressed, but no new game.
                            pushMouse(w, SDL_MOUSEBUTTONDOWN, 520, 300, SDL_BUTTON_MIDDLE);
                          },
                          [&] {
                            EXPECT_EQ(fe.device().state().GameMode, "A");
                            pushMouse(w, SDL_MOUSEBUTTONUP, 520, 300, SDL_BUTTON_MIDDLE);
                          }}),
            0);
  EXPECT_FALSE(fe.device().ended());
}

// Dark pixels (text) inside a rectangle of a frame `width` pixels wide.
int ink(const std::vector<Uint32>& pixels, int width, SDL_Rect r) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y)
    for (int x = r.x; x < r.x + r.w; ++x)
      if ((pixels[y * width + x] & 0xFF) < 100) ++n;
  return n;
}

// The text pixels left of the key boxes: how many lie on each label's place, and how many on
// none, where a click on a letter would choose no row.
struct LabelInk {
  int outside = 0;
  std::array<int, 4> inside{};
};
LabelInk labelInk(const std::vector<Uint32>& pixels, const DialogWindow& dialog) {
  int w = 0, h = 0;
  SDL_GetRendererOutputSize(dialog.renderer(), &w, &h);
  LabelInk ink;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < dialog.scaler().px(kDialogBoxes[0].rect.x); ++x) {
      // Ink is what is neither the face nor a selected label's ground (where it is white).
      const Uint32 p = pixels[y * w + x] & 0xFFFFFF;
      if (p == 0xD4D0C8u || p == 0x0A246Au || dialog.closeAt(x, y)) continue;
      const int row = dialog.rowAt(x, y);
      row ? ++ink.inside[row - 1] : ++ink.outside;
    }
  }
  return ink;
}

// The dialog shows which row takes the next key (its label on a selected ground), and a click on
// a row's label or key box chooses it. A modifier pressed alone is a key like any other, but one
// that began a shortcut closing the dialog (Alt+F4) leaves the keys as they were. The close
// button closes the dialog as its close box does, on a desktop with no window manager too.
TEST_F(FrontEndTest, TheKeyDialogTakesARowAndAKeyAndItsCloseBoxWritesTheFile) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  SDL_Window* game = fe.gameWindow();
  std::vector<Uint32> dialogPixels;
  fe.onDialogFrame = [&](SDL_Renderer* r) { dialogPixels = read(r, kDialogWidth, kDialogHeight); };
  const auto dialogId = [&] { return fe.dialogWindow().windowId(); };
  const auto dialog = [&] { return fe.dialogWindow().window(); };
  // Inside the focus frame that marks the selected row's box.
  const auto box = [](int row) {
    const Rect& b = kDialogBoxes[row - 1].rect;
    return SDL_Rect{b.x + 4, b.y + 4, b.w - 8, b.h - 8};
  };
  const auto selectedGround = [&](int row) {
    const Rect& l = kDialogLabels[row - 1].rect;
    return (dialogPixels[(l.y + 1) * kDialogWidth + l.x - 1] & 0xFFFFFF) == 0x0A246Au;
  };
  EXPECT_EQ(runSteps(fe, {[&] { pushClick(game, 560, 310); },  // the time button
                          [&] {
                            ASSERT_TRUE(fe.dialogWindow().isOpen());
                            EXPECT_TRUE(SDL_GetWindowFlags(game) & SDL_WINDOW_HIDDEN);
                            int w = 0, h = 0;
                            SDL_GetWindowSize(fe.dialogWindow().window(), &w, &h);
                            EXPECT_EQ(w, 161);
                            EXPECT_EQ(h, kDialogHeight);
                            EXPECT_STREQ(SDL_GetWindowTitle(fe.dialogWindow().window()), "");
                            ASSERT_EQ(dialogPixels.size(), std::size_t{161 * kDialogHeight});
                            EXPECT_TRUE(selectedGround(1));  // row 1 takes the first key
                            EXPECT_FALSE(selectedGround(3));
                            EXPECT_EQ(dialogPixels[2 * 161 + 2] & 0xFFFFFF, 0xD4D0C8u);  // the face
                            // Each box shows its key (Q A P L) and each label its text, every
                            // letter of which lies on the place that chooses its row.
                            const LabelInk labels = labelInk(dialogPixels, fe.dialogWindow());
                            EXPECT_EQ(labels.outside, 0);
                            for (int row = 1; row <= 4; ++row) {
                              EXPECT_GT(ink(dialogPixels, 161, box(row)), 5) << row;
                              EXPECT_GT(labels.inside[row - 1], 20) << row;
                            }
                            // Label 3, then Tab (captured too) and K.
                            pushClick(fe.dialogWindow().window(), 20, 70);
                            pushTap(SDL_SCANCODE_TAB, SDLK_TAB);
                          },
                          [&] {
                            ASSERT_NE(fe.device().dialog(), nullptr);
                            EXPECT_EQ(fe.device().dialog()->state().SelectedKeyRow, 3);
                            EXPECT_EQ(fe.device().dialog()->state().DialogKeyBepoUp, 9);
                            EXPECT_EQ(ink(dialogPixels, 161, box(3)), 0);  // Tab shows nothing
                            pushTap(SDL_SCANCODE_K, SDLK_k);
                          },
                          [&] {
                            EXPECT_EQ(fe.device().dialog()->state().DialogKeyBepoUp, 75);
                            EXPECT_GT(ink(dialogPixels, 161, box(3)), 5);
                            EXPECT_TRUE(selectedGround(3));
                            EXPECT_FALSE(selectedGround(1));
                            // Row 2 by its key box; Alt pressed and let go alone is its key.
                            const Rect& b = kDialogBoxes[1].rect;
                            pushClick(dialog(), b.x + 8, b.y + 9);
                            pushTap(SDL_SCANCODE_LALT, SDLK_LALT);
                          },
                          [&] {
                            EXPECT_EQ(fe.device().dialog()->state().SelectedKeyRow, 2);
                            EXPECT_TRUE(selectedGround(2));
                            EXPECT_EQ(fe.device().dialog()->state().DialogKeyNandoDown, 18);
                            // Alt and the window manager's close (Alt+F4): Alt is no key.
                            pushKey(SDL_KEYDOWN, SDL_SCANCODE_LALT, SDLK_LALT);
                            pushClose(dialogId());
                            pushKey(SDL_KEYUP, SDL_SCANCODE_LALT, SDLK_LALT);
                          },
                          [&] {
                            EXPECT_FALSE(fe.dialogWindow().isOpen());
                            EXPECT_FALSE(SDL_GetWindowFlags(game) & SDL_WINDOW_HIDDEN);
                            EXPECT_EQ(fe.device().state().KeyBepoUp, 75);
                            EXPECT_EQ(fe.device().state().KeyNandoDown, 18);
                            pushClick(game, 560, 310);  // the dialog again
                          },
                          [&] {
                            ASSERT_TRUE(fe.dialogWindow().isOpen());
                            pushTap(SDL_SCANCODE_J, SDLK_j);  // row 1, then the close button
                            const Rect& c = kDialogClose.rect;
                            pushClick(dialog(), c.x + c.w / 2, c.y + c.h / 2);
                          },
                          [&] {
                            EXPECT_FALSE(fe.dialogWindow().isOpen());
                            EXPECT_EQ(fe.device().state().KeyNandoUp, 74);
                          }}),
            0);
  EXPECT_EQ(fileText(keyFile), "74\r\n18\r\n75\r\n76\r\n");
}

// At 2x the window is twice the size, drawn from the 2x pictures; the mouse and the key dialog
// follow the scale.
TEST_F(FrontEndTest, AtTwiceTheScaleThePictureTheMouseAndTheDialogFollow) {
  writePictureSet(2);
  ScreenOptions twice;
  twice.scale = 2;
  FrontEnd fe(options(twice));
  ASSERT_TRUE(fe.open());
  SDL_Window* game = fe.gameWindow();
  int wrong = -1;
  fe.onGameFrame() = [&](SDL_Renderer* r) {
    if (wrong < 0)
      wrong = differences(read(r, 2 * kWindowWidth, 2 * kWindowHeight), fe.device().display(), 2);
  };
  std::vector<Uint32> dialogPixels;
  fe.onDialogFrame = [&](SDL_Renderer* r) {
    dialogPixels = read(r, 2 * kDialogWidth, 2 * kDialogHeight);
  };
  EXPECT_EQ(runSteps(fe, {[&] {
                            EXPECT_EQ(wrong, 0);
                            int w = 0, h = 0;
                            SDL_GetWindowSize(game, &w, &h);
                            EXPECT_EQ(w, 1604);
                            EXPECT_EQ(h, 896);
                            pushClick(game, 2 * 560, 2 * 310);  // the time button
                          },
                          [&] {
                            ASSERT_TRUE(fe.dialogWindow().isOpen());
                            int w = 0, h = 0;
                            SDL_GetWindowSize(fe.dialogWindow().window(), &w, &h);
                            EXPECT_EQ(w, 2 * kDialogWidth);
                            EXPECT_EQ(h, 2 * kDialogHeight);
                            ASSERT_EQ(dialogPixels.size(), std::size_t{4 * 161 * kDialogHeight});
                            const LabelInk labels = labelInk(dialogPixels, fe.dialogWindow());
                            EXPECT_EQ(labels.outside, 0);
                            for (int row = 1; row <= 4; ++row)
                              EXPECT_GT(labels.inside[row - 1], 80) << row;
                            pushClick(fe.dialogWindow().window(), 2 * 20, 2 * 70);  // label 3
                            pushTap(SDL_SCANCODE_K, SDLK_k);
                          },
                          [&] {
                            ASSERT_NE(fe.device().dialog(), nullptr);
                            EXPECT_EQ(fe.device().dialog()->state().DialogKeyBepoUp, 75);
                          }}),
            0);
}

// The wheel, the middle button and F11 change how the window shows the game, never the game;
// F11 is the game's when it is a movement key. (The dummy display is 1024 x 768.)
TEST_F(FrontEndTest, TheWheelTheMiddleButtonAndF11ChangeTheWindowNotTheGame) {
  writePictureSet(2);
  ScreenOptions twice;
  twice.scale = 2;  // asked for, so taken though the display has no room for it
  FrontEnd fe(options(twice));
  ASSERT_TRUE(fe.open());
  SDL_Window* game = fe.gameWindow();
  std::vector<Uint32> frame;
  fe.onGameFrame() = [&](SDL_Renderer* r) {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(r, &w, &h);
    frame = read(r, w, h);
  };
  const auto size = [&] {
    int w = 0, h = 0;
    SDL_GetWindowSize(game, &w, &h);
    return std::pair{w, h};
  };
  const auto conf = [&] { return fileText(dir / "crateworks.conf"); };
  const auto wheel = [&](int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = SDL_GetWindowID(game);
    e.wheel.y = y;
    push(e);
  };
  const Display& d = fe.device().display();
  EXPECT_EQ(runSteps(fe, {[&] { wheel(-1); },
                          [&] {
                            // Down to the largest scale that fits: 1.5 does not.
                            EXPECT_EQ(size(), (std::pair{802, 448}));
                            EXPECT_NE(conf().find("scale = 1\n"), std::string::npos) << conf();
                            wheel(1);
                          },
                          [&] {
                            EXPECT_EQ(size(), (std::pair{802, 448}));
                            // Off the buttons: the screens alone, the truck where it maps to.
                            pushMouse(game, SDL_MOUSEBUTTONDOWN, 20, 20, SDL_BUTTON_MIDDLE);
                            pushMouse(game, SDL_MOUSEBUTTONUP, 20, 20, SDL_BUTTON_MIDDLE);
                          },
                          [&] {
                            EXPECT_EQ(size(), ViewLayout::windowSize(ViewKind::Screens, 1));
                            EXPECT_NE(conf().find("view = screens\n"), std::string::npos);
                            const ViewLayout layout = ViewLayout::forWindow(
                                ViewKind::Screens, 1, size().first, size().second);
                            const Pane& left = layout.pane(0);
                            const Scaler& s = layout.scaler();
                            const int x = left.toX + s.px(80) - s.px(left.from.x);
                            const int y = left.toY + s.px(140) - s.px(left.from.y);
                            ASSERT_EQ(frame.size(), std::size_t(size().first) * size().second);
                            const SDL_Color c = colours.at("camion.png");
                            EXPECT_EQ(frame[y * size().first + x] & 0xFFFFFF,
                                      (Uint32{c.r} << 16) | (Uint32{c.g} << 8) | c.b);
                            pushTap(SDL_SCANCODE_F11, SDLK_F11);
                          },
                          [&] {
                            EXPECT_TRUE(SDL_GetWindowFlags(game) & SDL_WINDOW_FULLSCREEN_DESKTOP);
                            // SDL built for Windows leaves the new size to the system's own
                            // driver, which the dummy one is not (the window under wine is
                            // looked at by tools/windows-tests).
                            if (SDL_strcmp(SDL_GetPlatform(), "Windows") != 0) {
                              EXPECT_EQ(size(), (std::pair{1024, 768}));
                            }
                            pushTap(SDL_SCANCODE_F11, SDLK_F11);
                          },
                          [&] {
                            EXPECT_FALSE(SDL_GetWindowFlags(game) & SDL_WINDOW_FULLSCREEN);
                            EXPECT_EQ(size(), ViewLayout::windowSize(ViewKind::Screens, 1));
                          }}),
            0);
  // No game started, no button pressed.
  EXPECT_EQ(fe.device().state().GameRunning, 0);
  for (Group button : {Group::ButtonA, Group::ButtonB, Group::ButtonTime})
    EXPECT_TRUE(d.shown(button));

  // F11 as Nando's up key moves him, and the window stays as it was.
  { std::ofstream(keyFile, std::ios::binary) << "122\r\n65\r\n80\r\n76\r\n"; }
  FrontEnd remapped(options());
  ASSERT_TRUE(remapped.open());
  EXPECT_EQ(runSteps(remapped, {[&] { pushTap(SDL_SCANCODE_F1, SDLK_F1); },
                                [&] { pushTap(SDL_SCANCODE_F11, SDLK_F11); },
                                [&] {
                                  EXPECT_EQ(remapped.device().state().NandoPose, 3);
                                  EXPECT_FALSE(SDL_GetWindowFlags(remapped.gameWindow()) &
                                               SDL_WINDOW_FULLSCREEN);
                                }}),
            0);
}

// Lines the program wrote on stderr about its settings (the sound library may add its own as it
// looks for a card, and the fixture's data folder has no sounds, which is said too).
int ourLines(const std::string& err) {
  int n = 0;
  for (std::size_t at = err.find("crateworks: "); at != std::string::npos;
       at = err.find("crateworks: ", at + 1))
    if (err.compare(at, 31, "crateworks: sound files missing") != 0) ++n;
  return n;
}

// A settings file that is garbage, or cannot be written, leaves the defaults and the game
// running, with one line on stderr each.
TEST_F(FrontEndTest, ABadOrUnwritableSettingsFileLeavesTheDefaultsAndOneLine) {
  { std::ofstream(dir / "crateworks.conf") << "scale = 2\nthis is not a setting\n"; }
  ::testing::internal::CaptureStderr();
  {
    FrontEnd fe(options());
    ASSERT_TRUE(fe.open());
    int w = 0, h = 0;
    SDL_GetWindowSize(fe.gameWindow(), &w, &h);
    EXPECT_EQ(w, kWindowWidth);
    EXPECT_EQ(h, kWindowHeight);
    EXPECT_EQ(runSteps(fe, {[&] { pushTap(SDL_SCANCODE_F1, SDLK_F1); }}), 0);
    EXPECT_EQ(fe.device().state().GameRunning, 1);
  }
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("crateworks.conf: line 2: not key = value"), std::string::npos) << err;
  EXPECT_EQ(ourLines(err), 1) << err;

  { std::ofstream(dir / "plain") << "a file where the folder would be"; }
  FrontEndOptions o = options();
  o.screen.confPath = (dir / "plain" / "crateworks.conf").string();
  ::testing::internal::CaptureStderr();
  {
    FrontEnd fe(o);
    ASSERT_TRUE(fe.open());
    SDL_Window* game = fe.gameWindow();
    EXPECT_EQ(runSteps(fe, {[&] {
                         for (int twice = 0; twice < 2; ++twice) {
                           pushMouse(game, SDL_MOUSEBUTTONDOWN, 20, 20, SDL_BUTTON_MIDDLE);
                           pushMouse(game, SDL_MOUSEBUTTONUP, 20, 20, SDL_BUTTON_MIDDLE);
                         }
                         pushTap(SDL_SCANCODE_F1, SDLK_F1);
                       }}),
              0);
    EXPECT_EQ(fe.device().state().GameRunning, 1);
  }
  err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("not remembered"), std::string::npos) << err;
  EXPECT_EQ(ourLines(err), 1) << err;

  // A key file that is not one gives way to the default keys, and says so once too.
  fs::remove(dir / "crateworks.conf");
  { std::ofstream(keyFile) << "81\n65\n-5\n"; }
  ::testing::internal::CaptureStderr();
  {
    FrontEnd fe(options());
    ASSERT_TRUE(fe.open());
    EXPECT_EQ(runSteps(fe, {[&] {}}), 0);
    EXPECT_EQ(fe.device().state().KeyBepoUp, 80);
  }
  err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("key file " + keyFile + " is not four key codes"), std::string::npos) << err;
  EXPECT_EQ(ourLines(err), 1) << err;
}

TEST_F(FrontEndTest, AMissingPictureIsNamedAndTheWindowDoesNotOpen) {
  fs::remove(dir / "assets" / "crash2.png");
  FrontEnd fe(options());
  const Status opened = fe.open();
  ASSERT_FALSE(opened);
  EXPECT_NE(opened.error().find("crash2.png"), std::string::npos) << opened.error();
  EXPECT_EQ(opened.error().find('\n'), std::string::npos) << opened.error();  // one line
}

TEST_F(FrontEndTest, APictureOfTheWrongSizeIsRefused) {
  writePicture(dir / "assets" / "camion.png", 89, 64, SDL_Color{1, 2, 3, 255});
  FrontEnd fe(options());
  const Status opened = fe.open();
  ASSERT_FALSE(opened);
  EXPECT_NE(opened.error().find("camion.png: it is 89x64, not 90x64"), std::string::npos)
      << opened.error();
}

TEST_F(FrontEndTest, ACorruptPictureIsNamed) {
  std::ofstream(dir / "assets" / "vita_mark.png", std::ios::binary) << "\x89PNG\r\n\x1a\n garbage";
  FrontEnd fe(options());
  const Status opened = fe.open();
  ASSERT_FALSE(opened);
  EXPECT_NE(opened.error().find("vita_mark.png"), std::string::npos) << opened.error();
}

// A render device that was lost takes its textures with it: the pictures are loaded again
// from where they first came, and when that fails the program ends saying why, never drawing
// with textures it no longer has.
TEST_F(FrontEndTest, ALostRenderDeviceGetsItsPicturesBackOrEndsPlainly) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  int wrong = -1;
  const auto reset = [] {
    SDL_Event e{};
    e.type = SDL_RENDER_DEVICE_RESET;
    push(e);
  };
  fe.onGameFrame() = [&](SDL_Renderer* r) {
    wrong = differences(read(r, kWindowWidth, kWindowHeight), fe.device().display());
  };
  ::testing::internal::CaptureStderr();
  const int status = runSteps(fe, {reset,
                                   [&] {
                                     EXPECT_EQ(wrong, 0) << "pictures reloaded";
                                     fs::remove(dir / "assets" / "camion.png");
                                     reset();
                                   },
                                   [] { ADD_FAILURE() << "still running without its pictures"; }});
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("camion.png"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

// Where a sound the game names ("Audio\\Enemy.wav") goes in the test's data folder: its
// folders are found without regard to case.
fs::path resolveAudioName(std::string_view name) {
  return fs::path("audio") / std::string(name.substr(name.rfind('\\') + 1));
}

// A mono 16-bit PCM WAV file of `ms` milliseconds at 8000 Hz.
void writeWav(const fs::path& path, int ms) {
  const std::uint32_t samples = 8 * static_cast<std::uint32_t>(ms);
  const std::uint32_t dataBytes = samples * 2;
  std::string h;
  const auto u32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) h += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  const auto u16 = [&](std::uint16_t v) {
    h += static_cast<char>(v & 0xFF);
    h += static_cast<char>(v >> 8);
  };
  h += "RIFF";
  u32(36 + dataBytes);
  h += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);
  u32(8000);
  u32(16000);
  u16(2);
  u16(16);
  h += "data";
  u32(dataBytes);
  h.append(dataBytes, '\0');
  std::ofstream(path, std::ios::binary) << h;
}

TEST_F(FrontEndTest, SoundsHoldForTheirFilesLengthFoundWithoutRegardToCase) {
  writeWav(dir / "audio" / "move.wav", 250);
  writeWav(dir / "audio" / "Points.wav", 40);
  std::ofstream(dir / "audio" / "dead.wav", std::ios::binary) << "RIFF????WAVEjunk";
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);  // as the game has it when sound opens
  {
    MixerSound sound(dir.string());
    (void)sound.open();  // with or without a device the holds are the same
    EXPECT_EQ(sound.play("audio\\move.wav", kSoundWait), 250);
    EXPECT_EQ(sound.play("AUDIO\\MOVE.WAV", kSoundWait), 250);
    EXPECT_EQ(sound.play("Audio\\Points.wav", kSoundWait), 40);
    EXPECT_EQ(sound.play("audio\\move.wav", kSoundAsync), 0);
    EXPECT_EQ(sound.play("audio\\dead.wav", kSoundWait), 0);   // unreadable: nothing
    EXPECT_EQ(sound.play("Audio\\Enemy.wav", kSoundWait), 0);  // missing: nothing
  }
  SDL_Quit();
}

// An open device has a mixer thread waking 43 times a second: it is open only from just before
// a sound until some seconds of silence after, and a device that cannot open means silence
// with the holds unchanged.
TEST_F(FrontEndTest, TheSoundDeviceIsOpenOnlyWhileSoundMayPlay) {
  writeWav(dir / "audio" / "move.wav", 250);
  constexpr std::int64_t kS = 1'000'000'000;
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
  {
    MixerSound sound(dir.string());
    ASSERT_TRUE(sound.open());         // the dummy driver
    EXPECT_FALSE(sound.deviceOpen());  // looked at, then closed until a sound comes
    EXPECT_EQ(sound.closeWhenSilent(0), -1);
    sound.wake(10 * kS);
    EXPECT_TRUE(sound.deviceOpen());
    EXPECT_EQ(sound.closeWhenSilent(11 * kS), 10 * kS + MixerSound::kCloseAfterNs);
    EXPECT_TRUE(sound.deviceOpen());
    EXPECT_EQ(sound.closeWhenSilent(10 * kS + MixerSound::kCloseAfterNs), -1);
    EXPECT_FALSE(sound.deviceOpen());
    // A sound nobody saw coming opens it, late but heard, and holds as long as ever; its
    // silence counts from its end.
    EXPECT_EQ(sound.play("audio\\move.wav", kSoundWait), 250);
    EXPECT_TRUE(sound.deviceOpen());
    EXPECT_GT(sound.closeWhenSilent(0), MixerSound::kCloseAfterNs);
  }
  const std::string driver = getEnv("SDL_AUDIODRIVER");
  setEnv("SDL_AUDIODRIVER", "cw-no-such-driver");
  {
    MixerSound sound(dir.string());
    EXPECT_FALSE(sound.open());
    EXPECT_FALSE(sound.canOpen());
    sound.wake(0);
    EXPECT_FALSE(sound.deviceOpen());
    EXPECT_EQ(sound.play("audio\\move.wav", kSoundWait), 250);
  }
  setEnv("SDL_AUDIODRIVER", driver);
  SDL_Quit();
}

// A broken install must not pass for a quiet game: the sound files that are not there are
// named, once, in one line, and the game goes on without them.
TEST_F(FrontEndTest, MissingSoundFilesAreNamedInOneLine) {
  writeWav(dir / "audio" / "move.wav", 50);
  std::ofstream(dir / "audio" / "Points.wav", std::ios::binary) << "RIFF????WAVEjunk";
  FrontEnd fe(options());
  ::testing::internal::CaptureStderr();
  const Status opened = fe.open();
  const std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(opened) << opened.error();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  for (const char* name : {"audio\\dead.wav", "Audio\\Enemy.wav", "Audio\\Points.wav"})
    EXPECT_NE(err.find(name), std::string::npos) << err;
  EXPECT_EQ(err.find("move.wav"), std::string::npos) << err;
}

// With no sound card the sound library's own complaints stay off the terminal; one line of
// ours says that the game runs silent. (ALSA_CARD names a card no machine has, so this holds
// also where there is one.)
TEST_F(FrontEndTest, WithNoSoundCardOneLineSaysTheGameRunsSilent) {
  for (const char* name : kAllSounds) writeWav(dir / resolveAudioName(name), 20);
  const std::string driver = getEnv("SDL_AUDIODRIVER");
  setEnv("SDL_AUDIODRIVER", "alsa");
  setEnv("ALSA_CARD", "cw-no-such-card");
  std::string err;
  {
    FrontEnd fe(options());
    ::testing::internal::CaptureStderr();
    const Status opened = fe.open();
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(opened);
  }
  setEnv("SDL_AUDIODRIVER", driver);
  unsetEnv("ALSA_CARD");
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_EQ(err.rfind("crateworks: no sound device (", 0), 0u) << err;
  EXPECT_NE(err.find("the game runs silent\n"), std::string::npos) << err;
}

TEST_F(FrontEndTest, AskedByTheEnvironmentTheLoopRecordsItsTimingAndWritesItAtTheEnd) {
  const fs::path log = dir / "timing.log";
  setEnv("CRATEWORKS_TIMING_LOG", log.string());
  {
    FrontEnd fe(options());
    unsetEnv("CRATEWORKS_TIMING_LOG");
    ASSERT_TRUE(fe.open());
    // F1 once the clock's first tick has put the time up, some ticks of the game, then the end.
    bool pressed = false;
    fe.onGameFrame() = [&](SDL_Renderer*) {
      if (!pressed && fe.device().display().shown(Group::duepunti))
        pushTap(SDL_SCANCODE_F1, SDLK_F1);
      pressed = pressed || fe.device().display().shown(Group::duepunti);
    };
    fe.onWake = [&] {
      if (fe.device().state().GameRunning == 1 && fe.device().now() > 40) pushQuit();
    };
    EXPECT_EQ(fe.run(), 0);
    EXPECT_FALSE(fs::exists(log));  // kept in memory while the loop runs
  }
  std::ifstream in(log);
  std::map<std::string, std::vector<long long>> lines;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string name;
    long long value = 0;
    if (fields >> name >> value) lines[name].push_back(value);
  }
  ASSERT_EQ(lines["first_present_unix_us"].size(), 1u);
  EXPECT_GT(lines["first_present_unix_us"][0], 0);
  EXPECT_GT(lines["wakes"].at(0), 0);
  // The clock's first tick put the time up: a change, shown no earlier than it fell due. The
  // loop looked ahead to know when to wake.
  EXPECT_GE(lines["change"].size(), 1u);
  for (long long late : lines["change"]) EXPECT_GE(late, 0);
  EXPECT_GE(lines["ahead"].size(), 1u);
  // F1 changed the picture (and its release too): each reached a frame.
  EXPECT_GE(lines["input"].size(), 1u);
  for (long long us : lines["input"]) EXPECT_GE(us, 0);
}

// Every change of the picture in order, with the core's time of it.
struct PictureTrace : DisplayObserver {
  const Device* device = nullptr;
  std::vector<std::string> changes;
  void onShow(Group g, int member, bool shown) override {
    changes.push_back(std::to_string(device->now()) + " " + std::to_string(static_cast<int>(g)) +
                      ":" + std::to_string(member) + (shown ? " shown" : " hidden"));
  }
  void onDigit(Place p, int digit) override {
    changes.push_back(std::to_string(device->now()) + " place " +
                      std::to_string(static_cast<int>(p)) + " = " + std::to_string(digit));
  }
};

// The live loop runs ticks lazily, in batches, when something will show or sound, and looks
// ahead on a copy to know when; none of it may change what happens. A game played live, with
// keys at times the test chooses and a move sound that holds the window, shows every change
// at the same core time and in the same order as the replay of the same keys at the times the
// live device took them.
TEST_F(FrontEndTest, ALiveSessionChangesThePictureAsItsReplayDoes) {
  writeWav(dir / "audio" / "move.wav", 60);
  writeWav(dir / "audio" / "Enemy.wav", 30);
  FrontEndOptions o = options();
  o.seed = 7;
  FrontEnd fe(o);
  ASSERT_TRUE(fe.open());
  PictureTrace live;
  live.device = &fe.device();
  fe.watchDisplay(&live);
  struct Taken {
    Millis at;
    bool down;
    int code;
  };
  std::vector<Taken> taken;
  fe.onDeliver() = [&](const LiveInput& in) {
    const KeyInput& k = std::get<KeyInput>(in);
    taken.push_back({fe.device().now(), k.down, k.code});
  };
  // F2 starts game B; then Bepo down and up, Nando up and down, some pressed during holds.
  struct Press {
    Millis at;
    SDL_Scancode sc;
    SDL_Keycode sym;
  };
  const std::vector<Press> presses{{30, SDL_SCANCODE_F2, SDLK_F2}, {300, SDL_SCANCODE_L, SDLK_l},
                                   {301, SDL_SCANCODE_P, SDLK_p},  {900, SDL_SCANCODE_Q, SDLK_q},
                                   {1300, SDL_SCANCODE_A, SDLK_a}, {1320, SDL_SCANCODE_P, SDLK_p}};
  std::size_t next = 0;
  fe.onWake = [&] {
    const Millis now = fe.device().now();
    while (next < presses.size() && presses[next].at <= now) {
      pushTap(presses[next].sc, presses[next].sym);
      ++next;
    }
    if (next == presses.size() && now >= 2500) pushQuit();
  };
  EXPECT_EQ(fe.run(), 0);
  ASSERT_EQ(taken.size(), 2 * presses.size());
  EXPECT_EQ(fe.device().state().GameMode, "B");

  // The replay: the same seed, the same clock text, the move sound's hold from its file.
  NullWorld world(7, 60);
  Device replay(Seams{world, fe.timeText(), world.random, world, world});
  PictureTrace replayed;
  replayed.device = &replay;
  replay.setDisplayObserver(&replayed);
  replay.start();
  for (const Taken& t : taken) {
    replay.runUntil(t.at);
    if (t.down)
      replay.keyDown(t.code);
    else
      replay.keyUp(t.code);
  }
  replay.runUntil(fe.device().now());
  EXPECT_GT(live.changes.size(), 20u);
  EXPECT_EQ(live.changes, replayed.changes);
  EXPECT_EQ(replay.state().Score, fe.device().state().Score);
}

// Every change of the picture as the replay's trace writes it, at the core time it happens.
struct TraceText : DisplayObserver {
  const Device* device = nullptr;
  std::ostringstream out;
  void onShow(Group g, int member, bool shown) override {
    traceShow(out, device->now(), g, member, shown);
  }
  void onDigit(Place p, int digit) override { traceDigit(out, device->now(), p, digit); }
};

// A session recorded live (the key dialog used, holds, keys pressed during them, the clock's
// own texts, a pause, Esc at the end) replays to the same picture changes at the same core
// times, and its final values match; played back in the window, it shows the same again and
// says so, without touching the player's key file. The pause stops the core where it stands (no
// late ticks after it) and marks the screens, and the recording does not see it.
TEST_F(FrontEndTest, ARecordedSessionReplaysAndPlaysBackExactly) {
  writeWav(dir / "audio" / "move.wav", 60);
  writeWav(dir / "audio" / "Enemy.wav", 30);
  const std::string recording = (dir / "session.scn").string();
  auto made = RecordingFile::create(recording, false);
  ASSERT_TRUE(made) << made.error();
  std::unique_ptr<RecordingFile> file = std::move(made).value();
  auto recorder = std::make_unique<Recorder>(*file);
  EXPECT_FALSE(RecordingFile::create(recording, false));  // never over a file that exists
  TraceText live;
  {
    FrontEndOptions o = options();
    o.recorder = recorder.get();
    FrontEnd fe(o);
    ASSERT_TRUE(fe.open());
    live.device = &fe.device();
    fe.watchDisplay(&live);
    const auto dialog = [&] { return fe.dialogWindow().window(); };
    Millis started = -1;   // when game B started
    Millis pausedAt = -1;  // the core's time as the pause began
    bool marked = false;   // a frame drawn while paused shows the pause's mark on the screens
    fe.onGameFrame() = [&](SDL_Renderer* r) {
      if (!fe.paused()) return;
      const std::vector<Uint32> frame = read(r, kWindowWidth, kWindowHeight);
      const SDL_Color c = expected(fe.device().display(), 60, 140);
      marked = marked || (frame[140 * kWindowWidth + 60] & 0xFFFFFF) !=
                             ((Uint32{c.r} << 16) | (Uint32{c.g} << 8) | c.b);
    };
    struct Step {
      std::function<bool(Millis)> when;
      std::function<void()> what;
    };
    const auto after = [&](Millis ms) {
      return [&, ms](Millis now) { return now >= started + ms; };
    };
    const std::vector<Step> steps{
        {[](Millis now) { return now >= 20; }, [&] { pushClick(fe.gameWindow(), 560, 310); }},
        {[&](Millis) { return fe.dialogWindow().isOpen(); },
         [&] {
           pushClick(dialog(), 20, 70);  // Bepo up's row, then K for it
           pushTap(SDL_SCANCODE_K, SDLK_k);
         }},
        {[&](Millis) { return fe.device().dialog() && fe.device().dialog()->keys()[2] == 75; },
         [&] { pushClose(fe.dialogWindow().windowId()); }},
        {[&](Millis) { return !fe.dialogWindow().isOpen(); },
         [&] { pushTap(SDL_SCANCODE_F2, SDLK_F2); }},
        {[&](Millis now) { return fe.device().state().GameRunning == 1 && (started = now) >= 0; },
         [] {}},
        {after(300), [] { pushTap(SDL_SCANCODE_L, SDLK_l); }},
        {after(301), [] { pushTap(SDL_SCANCODE_K, SDLK_k); }},  // during the move's hold
        {after(900), [] { pushTap(SDL_SCANCODE_Q, SDLK_q); }},
        {after(1300), [] { pushTap(SDL_SCANCODE_A, SDLK_a); }},
        {after(1320), [] { pushTap(SDL_SCANCODE_K, SDLK_k); }},
        {after(1500), [] { pushTap(SDL_SCANCODE_F3, SDLK_F3); }},
        {[&](Millis) { return fe.paused(); },
         [&] {
           pausedAt = fe.device().now();
           SDL_Delay(400);
           pushTap(SDL_SCANCODE_L, SDLK_l);  // no press reaches the paused device
           pushTap(SDL_SCANCODE_F3, SDLK_F3);
         }},
        {[&](Millis) { return !fe.paused(); },
         [&] { EXPECT_LT(fe.device().now() - pausedAt, 100) << "the pause's time ran on"; }},
        {after(2600), [] { pushTap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE); }},
    };
    std::size_t next = 0;
    fe.onWake = [&] {
      while (next < steps.size() && steps[next].when(fe.device().now())) steps[next++].what();
    };
    EXPECT_EQ(fe.run(), 0);
    EXPECT_EQ(next, steps.size());
    EXPECT_EQ(fe.device().state().KeyBepoUp, 75);
    EXPECT_TRUE(marked);
  }
  recorder.reset();
  file.reset();  // closed
  const std::string text = fileText(recording);
  EXPECT_EQ(text.find("keydown 114"), std::string::npos);  // the pause key is the window's
  // L pressed during the pause never reached the device: only the one before it is there.
  EXPECT_EQ(text.find("keydown 76"), text.rfind("keydown 76"));
  EXPECT_NE(text.find("\nclick Label3\nkeydown 75\n"), std::string::npos);
  EXPECT_NE(text.find("\nclose\n"), std::string::npos);
  EXPECT_NE(text.find("\ntimeat "), std::string::npos);
  EXPECT_NE(text.find("\nkeydown 27\nexpect time "), std::string::npos);

  // Replayed headless, in a folder of its own, with every change traced.
  fs::create_directories(dir / "replay");
  const ReplayOptions replayOptions{dir.string(), (dir / "replay" / "crateworks.key").string()};
  std::ostringstream out;
  std::string traced = text;
  const std::size_t settings = traced.find("\nkeyfile none\n") + 14;  // before the device starts
  traced.insert(settings, "trace on\n");
  Result<Script> script = parseScenario(traced);
  ASSERT_TRUE(script) << script.error();
  {
    ReplaySession replay(replayOptions, out);
    for (const Command& c : *script) EXPECT_TRUE(replay.execute(c));
    EXPECT_EQ(replay.differences(), 0) << replay.lastDifference();
  }
  std::istringstream replayed(out.str());
  std::string changes;
  for (std::string line; std::getline(replayed, line);)
    if (line[0] == '@' && line.find(" sound ") == std::string::npos) changes += line + '\n';
  EXPECT_GT(std::count(changes.begin(), changes.end(), '\n'), 40);
  EXPECT_EQ(changes, live.out.str());

  // Played back in the window.
  auto playback = loadPlayback(recording);
  ASSERT_TRUE(playback) << playback.error();
  FrontEndOptions o = options();
  o.keyFilePath = (dir / "untouched.key").string();
  o.playback = playback->get();
  FrontEnd fe(o);
  ASSERT_TRUE(fe.open());
  TraceText shown;
  shown.device = &fe.device();
  fe.watchDisplay(&shown);
  EXPECT_EQ(fe.run(), 0);
  EXPECT_EQ(fe.playVerdict(), "");
  EXPECT_GT((*playback)->compared(), 20);
  EXPECT_EQ(shown.out.str(), live.out.str());
  EXPECT_FALSE(fs::exists(dir / "untouched.key"));
}

// A key file that cannot take the dialog's keys keeps what it held while the game takes the
// keys all the same; the recording says what the file kept, so that its replay and its playback
// go on from the same file as the live game did.
TEST_F(FrontEndTest, ARecordingSaysWhatAKeyFileThatCouldNotBeWrittenKept) {
  const std::string recording = (dir / "unsaved.scn").string();
  auto made = RecordingFile::create(recording, false);
  ASSERT_TRUE(made) << made.error();
  std::unique_ptr<RecordingFile> file = std::move(made).value();
  auto recorder = std::make_unique<Recorder>(*file);
  {
    FrontEndOptions o = options();
    o.keyFilePath = std::string("/proc/self/crateworks.key");  // nothing can be written there
    o.recorder = recorder.get();
    FrontEnd fe(o);
    ASSERT_TRUE(fe.open());
    int step = 0;
    fe.onWake = [&] {
      const KeyRemapDialog* dialog = fe.device().dialog();
      if (step == 0 && fe.device().now() >= 20) {
        pushClick(fe.gameWindow(), 560, 310);
      } else if (step == 1 && fe.dialogWindow().isOpen()) {
        pushClick(fe.dialogWindow().window(), 20, 70);  // Bepo up's row, then K for it
        pushTap(SDL_SCANCODE_K, SDLK_k);
      } else if (step == 2 && dialog && dialog->keys()[2] == 75) {
        pushClose(fe.dialogWindow().windowId());
      } else if (step == 3 && !fe.dialogWindow().isOpen()) {
        pushTap(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
      } else {
        return;
      }
      ++step;
    };
    EXPECT_EQ(fe.run(), 0);
    EXPECT_EQ(step, 4);
    EXPECT_EQ(fe.device().state().KeyBepoUp, 75);
  }
  recorder.reset();
  file.reset();  // closed
  const std::string text = fileText(recording);
  EXPECT_NE(text.find("\nclose\nkeyfile none\n"), std::string::npos);

  Result<Script> script = parseScenario(text);
  ASSERT_TRUE(script) << script.error();
  std::ostringstream out;
  ReplaySession replay({dir.string(), (dir / "crateworks.key").string()}, out);
  for (const Command& c : *script) EXPECT_TRUE(replay.execute(c));
  EXPECT_EQ(replay.differences(), 0) << replay.lastDifference();

  auto playback = loadPlayback(recording);
  ASSERT_TRUE(playback) << playback.error();
  FrontEndOptions o = options();
  o.playback = playback->get();
  FrontEnd fe(o);
  ASSERT_TRUE(fe.open());
  EXPECT_EQ(fe.run(), 0);
  EXPECT_EQ(fe.playVerdict(), "");
}

// A game controller of SDL's virtual kind: no device behind it, its buttons and sticks set by
// the test; SDL turns each change into events when the loop next pumps.
class VirtualPad {
 public:
  explicit VirtualPad(void* rumbleCount = nullptr) {
    // SDL drops a pad's presses while no window of the program has the keyboard focus, and
    // the dummy video driver never gives it.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    joystick_ = plugVirtualPad("test pad", rumbleCount, [](void* count, Uint16, Uint16) {
      if (count) ++*static_cast<int*>(count);
      return 0;
    });
    EXPECT_NE(joystick_, nullptr) << SDL_GetError();
  }
  ~VirtualPad() { unplug(); }
  void button(SDL_GameControllerButton b, bool down) {
    EXPECT_EQ(SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0), 0) << SDL_GetError();
  }
  void axis(SDL_GameControllerAxis a, Sint16 value) {
    EXPECT_EQ(SDL_JoystickSetVirtualAxis(joystick_, a, value), 0) << SDL_GetError();
  }
  void unplug() { unplugVirtualPad(joystick_); }

 private:
  SDL_Joystick* joystick_ = nullptr;
};

// Each pad action is the key it stands for, in the key dialog's capture too (row 1 takes every
// key pressed): the defaults, then, once the dialog has moved Nando up to W, that key.
TEST_F(FrontEndTest, APadPressIsTheKeyItStandsForInTheCurrentMapping) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  SDL_Window* game = fe.gameWindow();
  std::optional<VirtualPad> pad;
  const auto captured = [&] { return fe.device().dialog()->state().DialogKeyNandoUp; };
  struct Action {
    std::function<void(bool)> press;
    int code;
  };
  const auto button = [&](SDL_GameControllerButton b) {
    return [&, b](bool down) { pad->button(b, down); };
  };
  const auto stick = [&](SDL_GameControllerAxis a, Sint16 pushed) {
    return [&, a, pushed](bool down) { pad->axis(a, down ? pushed : 0); };
  };
  // Each code differs from the one before it, so that every capture shows.
  const std::vector<Action> actions{
      {button(SDL_CONTROLLER_BUTTON_DPAD_UP), 81},
      {button(SDL_CONTROLLER_BUTTON_DPAD_DOWN), 65},
      {button(SDL_CONTROLLER_BUTTON_Y), 80},
      {button(SDL_CONTROLLER_BUTTON_A), 76},
      {button(SDL_CONTROLLER_BUTTON_START), 112},
      {button(SDL_CONTROLLER_BUTTON_BACK), 113},
      {stick(SDL_CONTROLLER_AXIS_LEFTY, -32768), 81},
      {stick(SDL_CONTROLLER_AXIS_LEFTY, 32767), 65},
      {stick(SDL_CONTROLLER_AXIS_RIGHTY, -20000), 80},
      {stick(SDL_CONTROLLER_AXIS_RIGHTY, 20000), 76},
  };
  std::vector<std::function<void()>> steps{[&] {
    pad.emplace();
    pushClick(game, 560, 310);  // the time button
  }};
  for (std::size_t i = 0; i < actions.size(); ++i) {
    steps.push_back([&, i] {
      ASSERT_NE(fe.device().dialog(), nullptr);
      actions[i].press(true);
    });
    steps.push_back([&, i] {
      EXPECT_EQ(captured(), actions[i].code) << "action " << i;
      actions[i].press(false);
    });
  }
  const auto closeDialog = [&] { pushClose(fe.dialogWindow().windowId()); };
  steps.insert(steps.end(), {[&] { pushTap(SDL_SCANCODE_W, SDLK_w); }, closeDialog,
                             [&] {
                               EXPECT_EQ(fe.device().state().KeyNandoUp, 87);
                               pushClick(game, 560, 310);
                             },
                             [&] {
                               ASSERT_NE(fe.device().dialog(), nullptr);
                               pushTap(SDL_SCANCODE_E,
                                       SDLK_e);  // a capture to tell the next one from
                             },
                             [&] {
                               EXPECT_EQ(captured(), 69);
                               pad->button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
                             },
                             [&] { EXPECT_EQ(captured(), 87) << "the D-pad follows the remap"; }});
  EXPECT_EQ(runSteps(fe, steps), 0);
  EXPECT_EQ(fe.pads().count(), 1u);
}

// Two pads play at once; a stick presses once past its threshold however it wavers there, and
// again only after it came back; a pad unplugged while it holds Start lets go of F1, so the
// GAME A button does not stay pressed.
TEST_F(FrontEndTest, PadsPlayTogetherSticksDoNotChatterAndAnUnpluggedPadLetsGo) {
  FrontEnd fe(options());
  ASSERT_TRUE(fe.open());
  std::optional<VirtualPad> a, b;
  const GameState& s = fe.device().state();
  const Display& d = fe.device().display();
  const auto nandoAt = [&](int pose, Sint16 next) {
    return [&, pose, next] {
      EXPECT_EQ(s.NandoPose, pose);
      b->axis(SDL_CONTROLLER_AXIS_LEFTY, next);
    };
  };
  EXPECT_EQ(runSteps(fe, {[&] {
                            a.emplace();
                            b.emplace();
                          },
                          [&] { a->button(SDL_CONTROLLER_BUTTON_START, true); },
                          [&] {
                            EXPECT_EQ(s.GameMode, "A");
                            EXPECT_FALSE(d.shown(Group::ButtonA));  // held down
                            EXPECT_EQ(s.NandoPose, 1);
                            b->axis(SDL_CONTROLLER_AXIS_LEFTY, -20000);
                          },
                          nandoAt(3, -12000), nandoAt(3, -20000), nandoAt(3, -12000),
                          nandoAt(3, -4000),  // back inside: released
                          nandoAt(3, -20000),
                          [&] {
                            EXPECT_EQ(s.NandoPose, 5);
                            b->button(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
                          },
                          [&] {
                            EXPECT_EQ(s.NandoPose, 3);
                            EXPECT_FALSE(d.shown(Group::ButtonA));
                            a->unplug();
                          },
                          [&] { EXPECT_TRUE(d.shown(Group::ButtonA)); }}),
            0);
  EXPECT_EQ(fe.pads().count(), 1u);
  EXPECT_EQ(s.GameRunning, 1);
}

// A broken crate (the miss sound) rumbles every pad, and only when asked to.
TEST_F(FrontEndTest, PadsRumbleOnAMissOnlyWhenAsked) {
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
  writeWav(dir / "audio" / "move.wav", 60);
  {
    Pads pads;
    ASSERT_TRUE(pads.open());
    int rumbles = 0;
    VirtualPad pad(&rumbles);
    SDL_Event e;
    while (SDL_PollEvent(&e)) pads.arrive(e);
    ASSERT_EQ(pads.count(), 1u);
    // The sound as the front end wires it to the pads.
    MixerSound sound(dir.string());
    int plays = 0;
    sound.onPlay = [&](std::string_view name) {
      ++plays;
      pads.soundPlayed(name);
    };
    sound.play(kSoundDead, kSoundAsync);
    EXPECT_EQ(rumbles, 0);
    pads.rumbleEnabled = true;
    EXPECT_EQ(sound.play(kSoundMove, kSoundWait), 60);  // still played, and its hold kept
    EXPECT_EQ(rumbles, 0);
    sound.play(kSoundDead, kSoundAsync);
    EXPECT_EQ(rumbles, 1);
    EXPECT_EQ(plays, 3);
    // Muted, a sound is not heard but holds as long, so that the game plays the same.
    sound.setMuted(true);
    EXPECT_EQ(sound.play(kSoundMove, kSoundWait), 60);
    sound.closeAndWait();
    pad.unplug();
    pads.close();
  }
  SDL_Quit();
}

}  // namespace
}  // namespace cw
