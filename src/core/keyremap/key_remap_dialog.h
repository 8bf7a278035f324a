// The key remap dialog: four rows, a label and a one-character key box each.
#pragma once

#include <string>

#include "base/seams.h"
#include "core/keyremap/key_file.h"

namespace cw {

struct DialogState {
  int DialogKeyNandoUp = 0;
  int DialogKeyNandoDown = 0;
  int DialogKeyBepoUp = 0;
  int DialogKeyBepoDown = 0;
  int SelectedKeyRow = 0;
};

// The character a key box shows for a code, in the single-byte Windows-1252 set: the code
// itself when it names a printable character, else -1 (the box shows nothing).
int boxCharacter(int code);

class KeyRemapDialog {
 public:
  explicit KeyRemapDialog(KeyFilePort& store) : store_(store) {}

  // Reads the key file; when it is missing or malformed the rows start from `current` (the
  // keys the game window holds), so closing the dialog always writes a valid file.
  void Form_Load(const KeySet& current);
  void Label1_Click() { s_.SelectedKeyRow = 1; }
  void Label2_Click() { s_.SelectedKeyRow = 2; }
  void Label3_Click() { s_.SelectedKeyRow = 3; }
  void Label4_Click() { s_.SelectedKeyRow = 4; }
  void Form_KeyDown(int keyCode);
  // Writes the key file whole.
  Status Form_Unload();

  const DialogState& state() const { return s_; }
  KeySet keys() const;
  // The code each box shows (boxCharacter of its row's key): Text1 .. Text4.
  int box(int row) const;

 private:
  KeyFilePort& store_;
  DialogState s_;
};

}  // namespace cw
