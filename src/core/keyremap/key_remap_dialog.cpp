#include "core/keyremap/key_remap_dialog.h"

namespace cw {

int boxCharacter(int code) {
  // Control codes and the five codes Windows-1252 leaves undefined show nothing.
  if (code < 32 || code > 255 || code == 127) return -1;
  if (code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 || code == 0x9D) return -1;
  return code;
}

void KeyRemapDialog::Form_Load(const KeySet& current) {
  KeySet keys = current;
  if (auto text = store_.read()) {
    if (auto fromFile = parseKeyFile(*text)) keys = *fromFile;
  }
  s_.DialogKeyNandoUp = keys[0];
  s_.DialogKeyNandoDown = keys[1];
  s_.DialogKeyBepoUp = keys[2];
  s_.DialogKeyBepoDown = keys[3];
  s_.SelectedKeyRow = 1;
}

void KeyRemapDialog::Form_KeyDown(int keyCode) {
  // QUIRK: every key is taken as it is, even one another row or the game window already uses
  // (F1, Esc): the game window then never acts on it as a movement key.
  switch (s_.SelectedKeyRow) {
    case 1:
      s_.DialogKeyNandoUp = keyCode;
      break;
    case 2:
      s_.DialogKeyNandoDown = keyCode;
      break;
    case 3:
      s_.DialogKeyBepoUp = keyCode;
      break;
    case 4:
      s_.DialogKeyBepoDown = keyCode;
      break;
    default:
      break;
  }
}

Status KeyRemapDialog::Form_Unload() {
  return store_.write(formatKeyFile(keys()));
}

KeySet KeyRemapDialog::keys() const {
  return {s_.DialogKeyNandoUp, s_.DialogKeyNandoDown, s_.DialogKeyBepoUp, s_.DialogKeyBepoDown};
}

int KeyRemapDialog::box(int row) const {
  KeySet k = keys();
  return row >= 1 && row <= 4 ? boxCharacter(k[row - 1]) : -1;
}

}  // namespace cw
