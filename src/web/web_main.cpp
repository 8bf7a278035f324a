// The game in a web page: a WebAssembly reactor module whose exported functions the page's
// script (web/js/module.js) calls for each event and each wake-up, on the live layer as the
// desktop's loop drives it (sdl/loop/front_end.cpp). Between calls nothing runs: the page
// sleeps until the next wake-up the live game asks for, or until input.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/sound_names.h"
#include "live/dialog_layout.h"
#include "live/frame_state.h"
#include "live/live_game.h"
#include "live/playback.h"
#include "web/page_imports.h"
#include "web/web_ports.h"

#define CW_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace cw {
namespace {

std::int64_t steadyNs() {
  return static_cast<std::int64_t>(pageSteadyMs() * 1e6);
}

void say(const std::string& line) {
  pageSay(line.data(), static_cast<int>(line.size()));
}

// A frame every segment of which is hidden: the LCD of a device switched off.
FrameState darkFrame() {
  FrameState f;
  f.picture.fill(-1);
  return f;
}

// One game from switching on to switching off: the live game, and what it records or plays.
struct Session {
  Session(LivePorts ports, std::uint64_t seed, std::unique_ptr<Playback> play, bool muted,
          bool pauseOnBlur)
      : playback(std::move(play)),
        recorder(playback ? nullptr : std::make_unique<Recorder>(sink)),
        game(std::move(ports),
             LiveSetup{seed, recorder.get(), playback.get(), nullptr, muted, pauseOnBlur}) {}
  MemorySink sink;
  std::unique_ptr<Playback> playback;
  std::unique_ptr<Recorder> recorder;
  LiveGame game;
};

struct Page {
  WebSound sound;
  WebTimeText timeText;
  WebKeyFile keyFile;
  WebScreen screen;
  WebDialog dialog;
  WebWindow window{dialog};
  std::unique_ptr<Session> session;
  // The picture last shown: kept while a hold is under way, dark once the device is off.
  FrameState shown = darkFrame();
  double shownVersion = 0;
  std::string lastRecording;  // the game that ended last, whole
  std::vector<char> in;       // text the page hands in
  std::string out;            // text handed out
  std::vector<std::int32_t> numbers;
  bool muted = false;        // the sound stays off from one game to the next
  bool pauseOnBlur = false;  // the page's choice (its address asks for it)

  LivePorts ports() {
    return LivePorts{sound,     timeText, keyFile,
                     window,    screen,   dialog,
                     &steadyNs, &say,     [this] { followWallClock(); }};
  }
  // The clock's text shows the wall clock's time at core time's real moment.
  void followWallClock() {
    if (const LiveGame* game = live())
      timeText.setOrigin(pageWallMs() -
                         (pageSteadyMs() - static_cast<double>(game->originNs()) / 1e6));
  }
  LiveGame* live() { return session ? &session->game : nullptr; }
};

Page& page() {
  static Page p;
  return p;
}

void showFrame(const FrameState& f) {
  Page& p = page();
  if (f == p.shown) return;
  p.shown = f;
  p.shownVersion += 1;
}

// The device was switched off (Esc, ACL, or a recording's end): the recording is made whole
// and kept for a download, and the LCD goes dark.
void switchOff() {
  Page& p = page();
  LiveGame& game = p.session->game;
  p.muted = game.muted();  // the M key's choice lasts into the next game
  game.finish();
  if (p.session->recorder) p.lastRecording = p.session->sink.text();
  p.session.reset();
  showFrame(darkFrame());
  pageShowGame(1);
  if (p.dialog.isOpen()) p.window.showDialog(false);
}

// Starts a session: the device starts, shows its first picture, and core time 0 is now.
void start(std::uint64_t seed, std::unique_ptr<Playback> playback) {
  Page& p = page();
  // A game still going (a recording opened meanwhile) ends as if switched off first, so that
  // its recording stays to be downloaded.
  if (p.session) switchOff();
  p.session =
      std::make_unique<Session>(p.ports(), seed, std::move(playback), p.muted, p.pauseOnBlur);
  LiveGame& game = p.session->game;
  game.begin();
  showFrame(FrameState::of(game.device().display()));
  game.startClock();
}

// Core time of the page's event time `atMs` (performance.now's clock).
Millis coreTime(const LiveGame& game, double atMs) {
  const double ms = (atMs * 1e6 - static_cast<double>(game.originNs())) / 1e6;
  return std::min(static_cast<Millis>(std::floor(ms)), game.realNow());
}

void arrive(double atMs, const LiveInput& in) {
  if (LiveGame* game = page().live()) game->arrive(coreTime(*game, atMs), in);
}

const char* text(const std::string& s) {
  page().out = s;
  return page().out.c_str();
}

}  // namespace
}  // namespace cw

using cw::page;

// ------------------------------------------------------------------------------ the exports

// A buffer of `size` bytes for text the page hands in (a recording, a sound's name).
CW_EXPORT(cw_buffer) char* cwBuffer(int size) {
  page().in.assign(static_cast<std::size_t>(std::max(size, 0)) + 1, '\0');
  return page().in.data();
}

// The text the last call handed out, and its length.
CW_EXPORT(cw_out) const char* cwOut() {
  return page().out.c_str();
}
CW_EXPORT(cw_out_length) int cwOutLength() {
  return static_cast<int>(page().out.size());
}

// Each segment, one a line: "x y w h picture", in drawing order.
CW_EXPORT(cw_segments) const char* cwSegments() {
  std::string all;
  for (const cw::SegmentInfo& s : cw::segments())
    all += std::to_string(s.x) + ' ' + std::to_string(s.y) + ' ' + std::to_string(s.w) + ' ' +
           std::to_string(s.h) + ' ' + std::string(s.picture) + '\n';
  return cw::text(all);
}

// The sounds as the game names them, one a line.
CW_EXPORT(cw_sound_names) const char* cwSoundNames() {
  std::string all;
  for (const char* name : cw::kAllSounds) all += std::string(name) + '\n';
  return cw::text(all);
}

// The file of a sound: the buffer holds its name (`nameLength` bytes), then the file's bytes
// (`length` in all).
CW_EXPORT(cw_set_sound) void cwSetSound(int nameLength, int length) {
  const std::string_view in(page().in.data(), static_cast<std::size_t>(length));
  page().sound.setFile(in.substr(0, static_cast<std::size_t>(nameLength)),
                       in.substr(static_cast<std::size_t>(nameLength)));
}

// A fresh game, its generator seeded with `seed`.
CW_EXPORT(cw_start) void cwStart(double seed) {
  cw::start(static_cast<std::uint64_t>(std::max(seed, 0.0)), nullptr);
}

// Plays the recording in the buffer (its `length` bytes) called `nameLength` bytes after it.
// Returns 0 when it plays, and hands out what to say before it plays (another version's note);
// else 1, and hands out why it cannot be played.
CW_EXPORT(cw_play) int cwPlay(int length, int nameLength) {
  cw::Page& p = page();
  const std::string recording(p.in.data(), static_cast<std::size_t>(length));
  const std::string name(p.in.data() + length, static_cast<std::size_t>(nameLength));
  cw::Result<std::unique_ptr<cw::Playback>> playback = cw::Playback::parse(recording, name);
  if (!playback) {
    cw::text(playback.error());  // it names the recording
    return 1;
  }
  const std::string note = (*playback)->versionNote();
  cw::start(0, std::move(playback).value());
  cw::text(note);
  return 0;
}

// 0 while the device is off, 1 while a game runs, 2 while a recording plays.
CW_EXPORT(cw_state) int cwState() {
  const cw::Session* s = page().session.get();
  return !s ? 0 : s->playback ? 2 : 1;
}

// Runs the game up to now and says in how many milliseconds to call again, or -1 once the
// device is off (input switches it on).
CW_EXPORT(cw_wake) double cwWake() {
  cw::Page& p = page();
  cw::LiveGame* game = p.live();
  if (!game) return -1;
  const cw::Millis now = game->realNow();
  game->advance(now);
  if (game->over()) {
    cw::switchOff();
    return -1;
  }
  // The screen shows the state after a batch of handlers, never one a hold interrupted.
  if (game->settled(now)) cw::showFrame(cw::FrameState::of(game->device().display()));
  if (const cw::Status written = game->writeRecording(); !written) cw::say(written.error());
  const std::int64_t wakeNs = game->nextWakeNs(now);
  return std::max(0.0, static_cast<double>(wakeNs - cw::steadyNs()) / 1e6);
}

// The picture to show: per segment in drawing order, the segment whose picture it shows, or -1.
CW_EXPORT(cw_frame) const std::int16_t* cwFrame() {
  return page().shown.picture.data();
}
// Counts the changes of that picture.
CW_EXPORT(cw_frame_version) double cwFrameVersion() {
  return page().shownVersion;
}

// When the picture shown may first be shown, on the page's steady clock (performance.now): the
// core's time, which a hold keeps ahead of the real clock on purpose. -1 while the device is
// off. The benchmark takes a key's latency from here when the key's sound held the picture.
CW_EXPORT(cw_settled_ms) double cwSettledMs() {
  const cw::LiveGame* game = page().live();
  if (!game) return -1;
  return static_cast<double>(game->originNs()) / 1e6 + static_cast<double>(game->device().now());
}

// The canvas is w x h device pixels.
CW_EXPORT(cw_resize) void cwResize(int w, int h) {
  page().screen.resize(w, h);
}

// Where the picture lies on the canvas: [panes, picture set, scale x 1e6, then per pane the
// logical rectangle shown (x y w h) and the canvas rectangle it is drawn to (x y w h)].
CW_EXPORT(cw_layout) const std::int32_t* cwLayout() {
  const cw::ViewLayout& l = page().screen.layout();
  std::vector<std::int32_t>& n = page().numbers;
  const double scale = l.scaler().scale();
  n = {l.paneCount(), cw::pictureSetFor(scale),
       static_cast<std::int32_t>(std::lround(scale * 1e6))};
  for (int i = 0; i < l.paneCount(); ++i) {
    const cw::Rect f = l.pane(i).from, t = l.paneRect(i);
    n.insert(n.end(), {f.x, f.y, f.w, f.h, t.x, t.y, t.w, t.h});
  }
  return n.data();
}

// The pause's marks on the canvas, as the desktop draws them: [marks, the ink's red, green and
// blue, the veil's and the bars' alpha (of 255), then per mark the veil and the two bars (x y w
// h each)].
CW_EXPORT(cw_pause_marks) const std::int32_t* cwPauseMarks() {
  const std::vector<cw::PauseMark> marks = cw::pauseMarks(page().screen.layout());
  std::vector<std::int32_t>& n = page().numbers;
  n = {static_cast<std::int32_t>(marks.size()),
       cw::kPauseInk[0],
       cw::kPauseInk[1],
       cw::kPauseInk[2],
       cw::kPauseVeilAlpha,
       cw::kPauseBarAlpha};
  for (const cw::PauseMark& m : marks)
    for (const cw::Rect& r : {m.veil, m.bars[0], m.bars[1]})
      n.insert(n.end(), {r.x, r.y, r.w, r.h});
  return n.data();
}

// A key's press or release: its Windows virtual-key code, the physical key (below 512), and
// the page's time of the event.
CW_EXPORT(cw_key) void cwKey(int code, int key, int down, int repeat, double atMs) {
  cw::arrive(atMs, cw::KeyInput{code, key, down != 0, repeat != 0});
}

// A mouse button (1 left, 2 middle, 3 right) at canvas pixel (x, y).
CW_EXPORT(cw_pointer) void cwPointer(int button, int down, int x, int y, double atMs) {
  cw::arrive(atMs, cw::PointerInput{cw::WebScreen::kId, button, down != 0, x, y});
}

// The wheel turned by whole notches over the canvas.
CW_EXPORT(cw_wheel) void cwWheel(int steps, double atMs) {
  cw::arrive(atMs, cw::WheelInput{cw::WebScreen::kId, steps});
}

// A game controller's control (kind: 0 button, 1 stick, 2 removed), as the live layer's
// PadInput names them.
CW_EXPORT(cw_pad)
void cwPad(int kind, int pad, int button, int down, int stick, int value, double atMs) {
  cw::PadInput in;
  in.kind = static_cast<cw::PadInput::Kind>(std::clamp(kind, 0, 2));
  in.pad = pad;
  in.button = static_cast<cw::PadButton>(std::clamp(button, 0, 6));
  in.down = down != 0;
  in.stick = static_cast<cw::PadStick>(std::clamp(stick, 0, 1));
  in.value = value;
  cw::arrive(atMs, in);
}

// A touch going down or up at canvas pixel (x, y): on a casing button it presses it as the
// mouse does; on a screen it is the key that moves that screen's worker, up on its upper half
// and down on its lower. Returns the key's code (the page lifts it when the touch ends), or 0.
CW_EXPORT(cw_touch_key) int cwTouchKey(int x, int y) {
  cw::Page& p = page();
  cw::LiveGame* game = p.live();
  const auto point = p.screen.toLogical(x, y);
  if (!game || !point || cw::onCasingButton(point->first, point->second)) return 0;
  const auto [lx, ly] = *point;
  // Nando's screen on the left, Bepo's on the right, each with its up and down key.
  const cw::KeySet keys = cw::movementKeys(game->device().state());
  const cw::Rect screens[] = {cw::kLeftScreen, cw::kRightScreen};
  for (std::size_t i = 0; i < 2; ++i) {
    const cw::Rect& r = screens[i];
    if (r.contains(lx, ly)) return keys[2 * i + (ly < r.y + r.h / 2 ? 0 : 1)];
  }
  return 0;
}

// The key dialog: whether it is open, the row chosen, and each row's key as its box shows it
// (a Windows-1252 code, -1 for none). A label's press or release (row 1..4), and the close box.
CW_EXPORT(cw_dialog) const std::int32_t* cwDialog() {
  std::vector<std::int32_t>& n = page().numbers;
  n.assign(6, -1);
  const cw::LiveGame* game = page().live();
  const cw::KeyRemapDialog* d = game ? game->device().dialog() : nullptr;
  n[0] = d ? 1 : 0;
  if (d) {
    n[1] = d->state().SelectedKeyRow;
    for (int row = 1; row <= 4; ++row) n[1 + row] = d->box(row);
  }
  return n.data();
}
CW_EXPORT(cw_label) void cwLabel(int row, int down, double atMs) {
  if (row < 1 || row > 4) return;
  const cw::Rect r = cw::kDialogLabels[static_cast<std::size_t>(row - 1)].rect;
  cw::arrive(atMs, cw::PointerInput{cw::WebDialog::kId, cw::PointerInput::Left, down != 0,
                                    r.x + r.w / 2, r.y + r.h / 2});
}
CW_EXPORT(cw_close_dialog) void cwCloseDialog(double atMs) {
  cw::arrive(atMs, cw::CloseInput{cw::WebDialog::kId});
}

// The dialog's labels, one a line (each box's tooltip names its key: cw_box_tooltip).
CW_EXPORT(cw_dialog_texts) const char* cwDialogTexts() {
  std::string all;
  for (const cw::DialogControl& label : cw::kDialogLabels) all += std::string(label.text) + '\n';
  return cw::text(all);
}

// Pause and mute, as the page's own buttons give them (the keys F3, Pause and M reach the game
// as keys, and it takes them as the desktop does). Each says what it is now: 1 on, 0 off.
CW_EXPORT(cw_toggle_pause) int cwTogglePause() {
  cw::LiveGame* game = page().live();
  if (!game) return 0;
  game->paused() ? game->resume() : game->pause();
  return game->paused() ? 1 : 0;
}
CW_EXPORT(cw_paused) int cwPaused() {
  const cw::LiveGame* game = page().live();
  return game && game->paused() ? 1 : 0;
}
CW_EXPORT(cw_toggle_mute) int cwToggleMute() {
  cw::Page& p = page();
  // The game's own state, which the M key may have changed, is the one toggled.
  cw::LiveGame* game = p.live();
  p.muted = !(game ? game->muted() : p.muted);
  if (game) game->setMuted(p.muted);
  return p.muted ? 1 : 0;
}
CW_EXPORT(cw_muted) int cwMuted() {
  cw::Page& p = page();
  const cw::LiveGame* game = p.live();
  return (game ? game->muted() : p.muted) ? 1 : 0;
}
// The page pauses while it does not have the keyboard (from the next game on), and is told
// when the keyboard comes and goes.
CW_EXPORT(cw_pause_on_blur) void cwPauseOnBlur(int on) {
  page().pauseOnBlur = on != 0;
}
CW_EXPORT(cw_focus) void cwFocus(int ours) {
  if (cw::LiveGame* game = page().live()) game->focusChanged(ours != 0);
}

// The tooltip of row `row`'s key box: what the box is, and its key's name.
CW_EXPORT(cw_box_tooltip) const char* cwBoxTooltip(int row) {
  const cw::LiveGame* game = page().live();
  const cw::KeyRemapDialog* d = game ? game->device().dialog() : nullptr;
  if (!d || row < 1 || row > 4) return cw::text("");
  return cw::text(cw::boxTooltip(row, d->keys()[static_cast<std::size_t>(row - 1)]));
}

// The page's own control for the view, beside the middle button's.
CW_EXPORT(cw_toggle_view) void cwToggleView() {
  page().screen.toggleView();
}

// The game being played as a recording, whole so far; once the device is off, the game that
// ended last.
CW_EXPORT(cw_recording) const char* cwRecording() {
  cw::Session* s = page().session.get();
  if (s && s->recorder) return cw::text(s->sink.text() + s->game.recordingEnd());
  return cw::text(page().lastRecording);
}
