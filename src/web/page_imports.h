// What the module asks of the page (web/js/module.js supplies each): the only way the game
// reaches the browser. Strings go by pointer and length into the module's memory.
#pragma once

#include <cstdint>

#define CW_PAGE_IMPORT(name) __attribute__((import_module("crateworks"), import_name(#name)))

extern "C" {

// The steady clock (performance.now) and the wall clock (Date.now), in milliseconds.
CW_PAGE_IMPORT(steady_ms) double pageSteadyMs();
CW_PAGE_IMPORT(wall_ms) double pageWallMs();
// Plays a sound as the game names it; `flags` as the game gives them (kSoundWait, kSoundAsync).
CW_PAGE_IMPORT(play_sound) void pagePlaySound(const char* name, int length, int flags);
// The local time of day at wall clock `wallMs` as text in the user's format, written into
// `out` (at most `capacity` bytes); returns its length.
CW_PAGE_IMPORT(time_text) int pageTimeText(double wallMs, char* out, int capacity);
// The key file: its length, -1 when there is none (or it cannot be read); the text itself into
// `out`. A write returns 0 when the file was kept, else the length of why not, said into `why`.
CW_PAGE_IMPORT(key_file_length) int pageKeyFileLength();
CW_PAGE_IMPORT(key_file_read) void pageKeyFileRead(char* out, int capacity);
CW_PAGE_IMPORT(key_file_write)
int pageKeyFileWrite(const char* text, int length, char* why, int capacity);
// The game's requests of its windows: the casing shown or hidden, the key dialog open or
// closed, fullscreen toggled, the view changed.
CW_PAGE_IMPORT(show_game) void pageShowGame(int shown);
CW_PAGE_IMPORT(show_dialog) void pageShowDialog(int open);
CW_PAGE_IMPORT(toggle_fullscreen) void pageToggleFullscreen();
CW_PAGE_IMPORT(view_changed) void pageViewChanged();
// One line for the player (a key file not kept, a playback's verdict).
CW_PAGE_IMPORT(say) void pageSay(const char* text, int length);
}
