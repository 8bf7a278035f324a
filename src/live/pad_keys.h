// What a game controller's buttons and sticks mean to the game: each action stands for a key,
// and is delivered as that key's virtual-key code, so the core, the key dialog, the recorder
// and the replay see nothing but keys.
#pragma once

#include <vector>

#include "core/keyremap/key_file.h"
#include "live/live_input.h"

namespace cw {

// The default actions: the D-pad and the left stick move Nando, the north and south face
// buttons and the right stick move Bepo, Start is F1 (game A) and Back is F2 (game B).
enum class PadAction { NandoUp, NandoDown, BepoUp, BepoDown, GameA, GameB };

// A stick counts as pushed beyond kStickPress (of 32767) and as let go again only back inside
// kStickRelease: a stick resting near one line cannot chatter.
inline constexpr int kStickPress = 16384;
inline constexpr int kStickRelease = 8192;

struct PadKey {
  bool down;
  int code;
};

class PadKeys {
 public:
  // The key presses and releases that controller input `in` makes, given the movement keys as
  // they are now (Nando up, Nando down, Bepo up, Bepo down). A press takes the code its action
  // stands for at that moment; its release gives the same code, whatever was remapped since.
  // A controller that was removed releases everything it held.
  std::vector<PadKey> translate(const PadInput& in, const KeySet& keys);
  // The code `action` stands for, given the movement keys as they are now.
  static int codeOf(PadAction action, const KeySet& keys);

 private:
  // One pressed control: a button (`dir` 0), or a stick pushed one way (-1 or +1).
  struct Held {
    int pad;
    int control;  // a button, or kStickBase + a stick
    int dir;
    int code;
  };
  static constexpr int kStickBase = 1000;

  void press(int pad, int control, int dir, int code, std::vector<PadKey>& out);
  void release(int pad, int control, std::vector<PadKey>& out);
  void stick(const PadInput& in, const KeySet& keys, std::vector<PadKey>& out);
  const Held* find(int pad, int control) const;

  std::vector<Held> held_;
};

}  // namespace cw
