#include "core/shell/device.h"

namespace cw {

Device::Device(Seams seams)
    : host_(seams.window),
      keyFile_(seams.keyFile),
      game_(Seams{seams.sound, seams.timeText, seams.random, seams.keyFile, *this}) {}

Device::Told::Told(Device& d, const DeviceInput& input) : d_(d) {
  if (d_.inputDepth_++ == 0 && d_.inputObserver_) d_.inputObserver_->inputStarts(input);
}

Device::Told::~Told() {
  if (--d_.inputDepth_ == 0 && d_.inputObserver_) d_.inputObserver_->inputEnds();
}

void Device::start() {
  if (started_) return;
  started_ = true;
  game_.Form_Load();
  showGameWindow(true, true);
  game_.Form_Activate();
}

void Device::runUntil(Millis t) {
  if (ended_) return;
  TimerId id;
  bool afterHold = false;
  while (!ended_ && game_.scheduler().popDue(t, id, &afterHold)) {
    if (tickObserver_) tickObserver_->tickStarts(id, game_.scheduler().now(), afterHold);
    ++ticksRun_;
    game_.runTimer(id);
    if (tickObserver_) tickObserver_->tickEnds();
    handled();
  }
  game_.scheduler().advanceTo(t);
}

void Device::keyDown(int keyCode) {
  Told told(*this, {DeviceInput::Kind::KeyDown, keyCode, {}});
  if (!started_ || ended_) return;
  if (dialog_) {
    dialog_->Form_KeyDown(keyCode);
  } else if (windows_.gameEnabled) {
    game_.Form_KeyDown(keyCode);
  }
  afterInput();
}

void Device::keyUp(int keyCode) {
  Told told(*this, {DeviceInput::Kind::KeyUp, keyCode, {}});
  if (!gameTakesInput() || dialog_) return;
  game_.Form_KeyUp(keyCode);
  afterInput();
}

// A segment takes a press only where it is shown.
void Device::mouseDown(Group segment) {
  Told told(*this, {DeviceInput::Kind::MouseDown, 0, segment});
  if (!gameTakesInput() || !game_.display().shown(segment)) return;
  if (segment == Group::ButtonA) game_.ButtonA_MouseDown();
  if (segment == Group::ButtonB) game_.ButtonB_MouseDown();
  afterInput();
}

void Device::mouseUp(Group segment) {
  Told told(*this, {DeviceInput::Kind::MouseUp, 0, segment});
  if (!gameTakesInput()) return;
  if (segment == Group::ButtonA) game_.ButtonA_MouseUp();
  if (segment == Group::ButtonB) game_.ButtonB_MouseUp();
  afterInput();
}

void Device::click(Group segment) {
  Told told(*this, {DeviceInput::Kind::Click, 0, segment});
  if (!gameTakesInput() || !game_.display().shown(segment)) return;
  switch (segment) {
    case Group::ButtonA:
    case Group::ButtonB:
      mouseDown(segment);
      mouseUp(segment);
      return;
    case Group::ACL:
      game_.ACL_Click();
      break;
    case Group::ButtonTime:
      // The dialog opens only while no game runs.
      if (game_.state().GameRunning == 0) {
        showGameWindow(false, false);
        dialog_ = std::make_unique<KeyRemapDialog>(keyFile_);
        dialog_->Form_Load(movementKeys(game_.state()));
        showDialog(true);
      }
      break;
    default:
      break;
  }
  afterInput();
}

void Device::clickLabel(int row) {
  Told told(*this, {DeviceInput::Kind::ClickLabel, row, {}});
  if (!dialog_ || ended_) return;
  switch (row) {
    case 1:
      dialog_->Label1_Click();
      break;
    case 2:
      dialog_->Label2_Click();
      break;
    case 3:
      dialog_->Label3_Click();
      break;
    case 4:
      dialog_->Label4_Click();
      break;
    default:
      break;
  }
  handled();
}

Status Device::closeDialog() {
  Told told(*this, {DeviceInput::Kind::CloseDialog, 0, {}});
  if (!dialog_ || ended_) return {};
  const KeySet chosen = dialog_->keys();
  Status saved = dialog_->Form_Unload();
  dialog_.reset();
  showDialog(false);
  showGameWindow(true, true);
  game_.Form_Activate();
  // The file could not take the player's choice; the game window takes it all the same.
  if (!saved) game_.setKeys(chosen[0], chosen[1], chosen[2], chosen[3]);
  afterInput();
  return saved;
}

void Device::endProgram() {
  if (ended_) return;
  ended_ = true;
  host_.endProgram();
}

void Device::showGameWindow(bool shown, bool enabled) {
  windows_.gameShown = shown;
  windows_.gameEnabled = enabled;
  host_.showGameWindow(shown, enabled);
}

void Device::showDialog(bool open) {
  windows_.dialogOpen = open;
  host_.showDialog(open);
}

}  // namespace cw
