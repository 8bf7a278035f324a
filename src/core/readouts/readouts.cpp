// The readout: clearing the LCD, the score count-up and the clock.
#include "core/shell/game_window.h"
#include "core/shell/line_geometry.h"

namespace cw {
namespace {

// MENDED: a clock part read as a number, as the leading digits after any blanks ("5:" reads 5, as a
// minute of "7:5:00" does). No digit, or more than the readout's two places, has no reading,
// and the readout is then left as it was.
bool readNumber(std::string_view text, int& out) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  int value = 0;
  std::size_t digits = 0;
  for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    if (digits == 2) return false;
    value = value * 10 + (text[digits] - '0');
  }
  if (digits == 0) return false;
  out = value;
  return true;
}

bool isClockSeparator(char c) {
  return c == '.' || c == ':';
}

}  // namespace

void GameWindow::ResetDisplay() {
  for (int i = 1; i <= kLastPose; ++i) {
    display_.hide(Group::Bepo, i);
    display_.hide(Group::Nando, i);
  }
  for (int i = kEntryStep; i <= kTruckLastPlace; ++i) display_.hide(Group::Blocco, i);
  for (int i = 1; i <= 3; ++i) display_.hide(Group::Vita, i);
  for (int i = 0; i <= 1; ++i) {
    display_.hide(Group::Fumo, i);
    display_.hide(Group::Fumo2, i);
  }
  display_.hide(Group::Crash1);
  display_.hide(Group::Crash2);
  display_.hide(Group::Crash3);
  display_.hide(Group::CapoBepo, 0);
  display_.hide(Group::CapoBepo, 1);
  display_.hide(Group::CapoNando, 0);
  display_.hide(Group::CapoNando, 1);
  display_.hide(Group::IMGameA);
  display_.hide(Group::IMGameB);
  display_.hide(Group::Omino);
  display_.blank(Place::Decina);
  display_.blank(Place::Centinaia);
  display_.putDigit(Place::Unita, 0);
  display_.blank(Place::Ora);
  display_.hide(Group::duepunti);
}

void GameWindow::AwardPoints() {
  // A count-up still running is cut short: the readout goes on from the old total.
  s_.ShownScore = s_.Score;
  s_.Score += static_cast<std::int64_t>(s_.PointMultiplier) * s_.AwardAmount;
  s_.PointSoundTick = 0;
  timers_.enable(TimerId::TimePoint);
}

void GameWindow::TimePoint_Timer() {
  // QUIRK: the bonus rule looks at the value about to be drawn, so it fires at every tick that
  // begins at 300, also when a later award draws 300 again, and never when an award jumps past
  // it; and it forgives the misses even when it cannot double.
  if (s_.ShownScore == 300) {
    if (s_.Misses == 0) s_.PointMultiplier = 2;
    s_.Misses = 0;
    display_.hide(Group::Vita, 1);
    display_.hide(Group::Vita, 2);
  }
  // QUIRK: the sound falls on the 4th, 14th and 24th tick of a count-up; no award is 24 points,
  // so the third never plays.
  if (s_.PointSoundTick == 3) playSound(kSoundPoints, kSoundAsync);
  drawScore();
  ++s_.ShownScore;
  if (++s_.PointSoundTick == 10) s_.PointSoundTick = 0;
  if (s_.ShownScore > s_.Score) timers_.disable(TimerId::TimePoint);
}

// MENDED: three places; from 1000 on they show the last three digits, as an LCD counter rolls
// over, where the picture of a digit 10 does not exist.
void GameWindow::drawScore() {
  const std::int64_t n = s_.ShownScore;
  if (n < 0) return;  // never drawn: the score only grows from 0
  if (n < 10) {
    display_.putDigit(Place::Unita, static_cast<int>(n));
    return;
  }
  if (n >= 100) {
    s_.HundredsDigit = static_cast<int>(n / 100 % 10);
    display_.putDigit(Place::Centinaia, s_.HundredsDigit);
  }
  putTwoDigits(static_cast<int>(n % 100), Place::Decina, Place::Unita);
}

void GameWindow::TimeOra_Timer() {
  if (s_.GameRunning == 1) s_.ClockDelay = 500;
  if (s_.GameRunning == 0) {
    // QUIRK: counted in ticks, not in time: the final score stays for 500 ticks, fewer seconds
    // when holds fold ticks together.
    if (s_.ClockDelay == 0)
      drawClock();
    else
      --s_.ClockDelay;
  }
}

void GameWindow::drawClock() {
  // The time of the tick itself, not of the moment a batch of ticks happens to run.
  s_.ClockText = io_.timeText.localTimeText(timers_.now());
  s_.ClockTextLength = static_cast<int>(s_.ClockText.size());
  s_.ClockParseState = 0;
  const std::string& t = s_.ClockText;
  // Positions count from 1, as the scan of the time text does.
  for (s_.ClockCharIndex = 1; s_.ClockCharIndex <= s_.ClockTextLength; ++s_.ClockCharIndex) {
    const char c = t[s_.ClockCharIndex - 1];
    if (s_.ClockParseState == 0 && isClockSeparator(c)) {
      s_.ClockHour = t.substr(0, s_.ClockCharIndex - 1);
      s_.ClockParseState = 1;
      s_.ClockMinuteStart = s_.ClockCharIndex + 1;
    }
    if (s_.ClockParseState == 1 && isClockSeparator(c)) {
      // A leading zero of the minutes is dropped; "0" itself stays the one character 0.
      const std::size_t start = static_cast<std::size_t>(s_.ClockMinuteStart - 1);
      const char first = start < t.size() ? t[start] : '\0';
      if (first >= '1' && first <= '9')
        s_.ClockMinute = t.substr(start, 2);
      else
        s_.ClockMinute = start + 1 < t.size() ? t.substr(start + 1, 1) : std::string();
      s_.ClockParseState = 2;
    }
  }

  // MENDED: a text without separator keeps the clock fields of the last one, and one whose
  // parts are not numbers leaves the readout as it was.
  int hour = 0;
  int minute = 0;
  if (!readNumber(s_.ClockHour, hour) || !readNumber(s_.ClockMinute, minute)) return;

  display_.show(Group::duepunti);
  if (hour < 10) {
    display_.blank(Place::Ora);
    display_.putDigit(Place::Centinaia, hour);
  } else {
    putTwoDigits(hour, Place::Ora, Place::Centinaia);
  }
  if (minute < 10) {
    display_.putDigit(Place::Decina, 0);
    display_.putDigit(Place::Unita, minute);
  } else {
    putTwoDigits(minute, Place::Decina, Place::Unita);
  }
}

// Splits 10..99 into TensDigit and UnitsDigit and puts them, tens first.
void GameWindow::putTwoDigits(int n, Place tens, Place units) {
  s_.TensDigit = n / 10;
  s_.UnitsDigit = n - 10 * s_.TensDigit;
  display_.putDigit(tens, s_.TensDigit);
  display_.putDigit(units, s_.UnitsDigit);
}

}  // namespace cw
