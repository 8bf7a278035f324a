// Keys by the names players know them by, for where a key's code or character would not say
// which key it is (the key dialog's boxes show "&" for Up).
#pragma once

#include <string>

namespace cw {

// The name of the key whose virtual-key code is `code`: "Up", "F1", "A", "Num 5", or "key N" for
// one without a name.
std::string keyName(int code);

}  // namespace cw
