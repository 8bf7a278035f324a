// crateworks: the device in a real window.
#define SDL_MAIN_HANDLED
#include <cstdio>
#include <memory>
#include <string>

#include "base/quoted.h"
#include "host/command_line.h"
#include "host/conf_file.h"
#include "host/data_files.h"
#include "host/files.h"
#include "host/folders.h"
#include "host/key_file_on_disk.h"
#include "host/process.h"
#include "host/report.h"
#include "live/view_layout.h"
#include "sdl/loop/front_end.h"
#include "sdl/loop/message_box.h"
#include "sdl/loop/session_files.h"

namespace {

constexpr const char* kUsage = "Usage: crateworks [OPTION]...";

constexpr cw::OptionSpec kOptions[] = {
    {"scale", 0, "N", "show the device N times its size: 1, 1.5, 2, 2.5, 3 or 4"},
    {"view", 0, "VIEW", "casing (the whole device) or screens (the two LCDs alone)"},
    {"fullscreen", 0, "", "fill the screen"},
    {"help", 'h', "", "show this help and exit"},
    {"version", 0, "", "show the version and exit"},
    {"rumble", 0, "", "make game controllers rumble on a miss"},
    {"mute", 0, "", "start with the sound off (M switches it on and off)"},
    {"pause-on-blur", 0, "", "pause while another program's window has the keyboard"},
    {"record", 0, "FILE", "record the session in FILE, which crateworks-replay plays"},
    {"force", 0, "", "let --record replace a FILE that exists"},
    {"play", 0, "FILE", "show a recording in the window (Esc or ACL stops it)"},
};

void printHelp() {
  std::printf(
      "%s\n"
      "Plays Crateworks: two workers lift crates up a zig-zag of belts onto a truck.\n"
      "\n"
      "Options:\n%s"
      "\n"
      "Keys: F1/F2 or the casing's GAME A/GAME B start a game; Q/A (or Insert/Delete) move\n"
      "Nando up/down, P/L (or Page Up/Page Down) move Bepo; the TIME button chooses the four\n"
      "movement keys; Esc or the ACL button quits. F3 (or Pause) pauses the device and resumes\n"
      "it; M switches the sound off and on. F3, Pause and M are the game's when the TIME button\n"
      "made one of them a movement key.\n"
      "\n"
      "Game controllers: the D-pad or the left stick up/down moves Nando, the north/south face\n"
      "buttons (Y/A) or the right stick up/down move Bepo, Start starts game A and Back game B.\n"
      "Each stands for the key of its move as the TIME button set it.\n"
      "\n"
      "The window's own: the mouse wheel over it makes the device larger or smaller (in a\n"
      "window; fullscreen fills the screen); the middle mouse button anywhere but on the\n"
      "casing's buttons switches between the casing and the screens alone; F11 switches\n"
      "fullscreen on and off, unless F11 is one of the movement keys.\n"
      "\n"
      "Without --scale the device starts at the size the desktop's scaling asks for, as large\n"
      "as fits the screen. The scale and view chosen in the window are remembered in\n"
      "crateworks.conf, the movement keys in crateworks.key, both in %s.\n"
      "\n"
      "A recording (--record FILE) holds everything the session needs to run again: replay it\n"
      "headless with crateworks-replay FILE (--check says whether it ends the same) or watch it\n"
      "with --play FILE, whose end says whether the game shown ended as recorded. Attach one to\n"
      "a bug report.\n"
      "\n"
      "Exit status: 0 when the game ends normally, 1 when it cannot start (no display, missing\n"
      "pictures), when a recording could not be written whole or a playback ended otherwise\n"
      "than recorded, 2 for a bad command line or a FILE that cannot be recorded or played.\n",
      kUsage, cw::optionsHelp(kOptions).c_str(), std::string(cw::userConfigFolderHelp()).c_str());
}

int badUsage(const std::string& why) {
  return cw::usageError(kUsage, why);
}

// The program cannot start: one line on stderr and, since a program launched from a menu has
// no terminal to show it, the same in a message box. Returns status 1.
int failToStart(const std::string& why) {
  cw::report(why);
  cw::showMessageBox(SDL_MESSAGEBOX_ERROR, "Crateworks cannot start:\n" + why);
  return 1;
}

int badFile(const std::string& why) {
  cw::report(why);
  return 2;
}

// What a playback found, in a box as well.
void tellOnScreen(const std::string& what) {
  // One short line each: what differs, then where, then who recorded it.
  std::string text = cw::boxText(what);
  for (std::size_t at; (at = text.find("; ")) != std::string::npos;) text.replace(at, 2, "\n");
  cw::showMessageBox(SDL_MESSAGEBOX_WARNING, text);
}

// The scale, view and fullscreen asked for; a bad value fails, naming it.
cw::Result<cw::ScreenOptions> screenOptions(const cw::CommandLine& line) {
  cw::ScreenOptions screen;
  screen.fullscreen = line.has("fullscreen");
  screen.fitAskedScale = true;
  screen.confPath = cw::userConfFilePath();
  if (const std::string* scale = line.value("scale")) {
    if (!(screen.scale = cw::parseScale(*scale)))
      return cw::failure("invalid scale " + cw::quoted(*scale));
  }
  if (const std::string* view = line.value("view")) {
    if (!(screen.view = cw::parseView(*view)))
      return cw::failure("invalid view " + cw::quoted(*view));
  }
  return screen;
}

// The recording to make or the one to play, opened before any window so that a file that
// cannot be made or played is said at once.
struct SessionFiles {
  std::unique_ptr<cw::RecordingFile> recording;
  std::unique_ptr<cw::Recorder> recorder;
  std::unique_ptr<cw::Playback> playback;
};

cw::Result<SessionFiles> sessionFiles(const cw::CommandLine& line) {
  SessionFiles files;
  if (const std::string* path = line.value("record")) {
    auto made = cw::RecordingFile::create(*path, line.has("force"));
    if (!made) return cw::failure(made.error());
    files.recording = std::move(made).value();
    files.recorder = std::make_unique<cw::Recorder>(*files.recording);
  }
  if (const std::string* path = line.value("play")) {
    auto loaded = cw::loadPlayback(*path);
    if (!loaded) return cw::failure(loaded.error());
    files.playback = std::move(loaded).value();
  }
  return files;
}

// Runs the game in its window; returns the exit status.
int play(const cw::CommandLine& line, const std::string& data, cw::ScreenOptions screen,
         SessionFiles& files) {
  cw::Status opened;
  int status = 0;
  std::string verdict;  // of a playback
  {
    cw::FrontEndOptions options{data, cw::userKeyFilePath(), line.has("rumble"), screen};
    options.muted = line.has("mute");
    options.pauseOnBlur = line.has("pause-on-blur");
    options.recorder = files.recorder.get();
    options.playback = files.playback.get();
    cw::FrontEnd frontEnd(std::move(options));
    opened = frontEnd.open();
    if (opened) {
      status = frontEnd.run();
      verdict = frontEnd.playVerdict();
    }
  }
  // Said once the front end has closed its windows and SDL, which would otherwise keep the
  // quit signals from ending the program while a box waits.
  if (opened) {
    if (!verdict.empty()) tellOnScreen(verdict);
    return status;
  }
  if (files.recording) files.recording->discard();
  return failToStart(opened.error());
}

}  // namespace

int main(int argc, char** argv) {
  cw::setProgramName("crateworks");
  cw::prepareStandardStreams();
  // Before SDL starts any thread: only the loop's wait lets a quit signal in, so that it wakes
  // the loop at once wherever the loop sleeps.
  cw::blockQuitSignals();
  const auto line = cw::parseCommandLine(kOptions, cw::programArguments(argc, argv));
  if (!line) return badUsage(line.error());
  if (!line->operands().empty())
    return badUsage("unexpected operand " + cw::quoted(line->operands()[0]));
  if (line->has("help")) {
    printHelp();
    return 0;
  }
  if (line->has("version")) {
    std::printf("crateworks %s\n", CW_VERSION);
    return 0;
  }
  const cw::Result<cw::ScreenOptions> screen = screenOptions(*line);
  if (!screen) return badUsage(screen.error());
  if (line->has("record") && line->has("play"))
    return badUsage("--record and --play cannot go together");
  if (line->has("force") && !line->has("record")) return badUsage("--force goes with --record");
  const cw::Result<std::string> data = cw::dataDirectory();
  if (!data) return failToStart(data.error());
  cw::Result<SessionFiles> files = sessionFiles(*line);
  if (!files) return badFile(files.error());
  SessionFiles opened = std::move(files).value();
  return play(*line, *data, *screen, opened);
}
