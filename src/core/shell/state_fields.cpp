#include "core/shell/state_fields.h"

#include <array>
#include <cstdint>
#include <variant>

namespace cw {
namespace {

using Field = std::variant<int GameState::*, std::int64_t GameState::*, std::string GameState::*,
                           std::array<int, 7> GameState::*, std::array<int, 49> GameState::*>;

struct NamedField {
  std::string_view name;
  Field field;
};

#define CW_FIELD(f)   \
  NamedField {        \
#f, &GameState::f \
  }
const std::array kFields{
    CW_FIELD(GameRunning),     CW_FIELD(GameMode),         CW_FIELD(MovesLocked),
    CW_FIELD(LinePaused),      CW_FIELD(BreakAllowed),     CW_FIELD(KeyNandoUp),
    CW_FIELD(KeyNandoDown),    CW_FIELD(KeyBepoUp),        CW_FIELD(KeyBepoDown),
    CW_FIELD(CrateCount),      CW_FIELD(CrateActive),      CW_FIELD(CratePos),
    CW_FIELD(HandoverLevel),   CW_FIELD(SpawnRange),       CW_FIELD(SpawnRoll),
    CW_FIELD(ClearCount),      CW_FIELD(LoopIndex),        CW_FIELD(TruckLoad),
    CW_FIELD(LoadSegment),     CW_FIELD(SlideSteps),       CW_FIELD(SlideCount),
    CW_FIELD(ExhaustOn),       CW_FIELD(ExhaustFrame),     CW_FIELD(SceneStep),
    CW_FIELD(RestFrame),       CW_FIELD(SceneLoopIndex),   CW_FIELD(BepoPose),
    CW_FIELD(NandoPose),       CW_FIELD(BepoHand),         CW_FIELD(NandoHand),
    CW_FIELD(Misses),          CW_FIELD(ScoldTicks),       CW_FIELD(BepoScoldFrame),
    CW_FIELD(NandoScoldFrame), CW_FIELD(BossPose),         CW_FIELD(Score),
    CW_FIELD(ShownScore),      CW_FIELD(AwardAmount),      CW_FIELD(PointMultiplier),
    CW_FIELD(PointSoundTick),  CW_FIELD(HundredsDigit),    CW_FIELD(TensDigit),
    CW_FIELD(UnitsDigit),      CW_FIELD(ClockDelay),       CW_FIELD(ClockText),
    CW_FIELD(ClockTextLength), CW_FIELD(ClockParseState),  CW_FIELD(ClockCharIndex),
    CW_FIELD(ClockHour),       CW_FIELD(ClockMinuteStart), CW_FIELD(ClockMinute),
};
#undef CW_FIELD

template <typename Array>
std::string joined(const Array& a) {
  std::string out;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (i) out += ' ';
    out += std::to_string(a[i]);
  }
  return out;
}

}  // namespace

std::optional<std::string> fieldText(const GameState& s, std::string_view name) {
  for (const NamedField& f : kFields) {
    if (f.name != name) continue;
    return std::visit(
        [&s](auto member) -> std::string {
          const auto& value = s.*member;
          using T = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<T, std::string>)
            return value;
          else if constexpr (std::is_integral_v<T>)
            return std::to_string(value);
          else
            return joined(value);
        },
        f.field);
  }
  return std::nullopt;
}

}  // namespace cw
