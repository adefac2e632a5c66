// ReverseString: switches a byte's binary digits between most-significant-first order and
// the bit-0-first order of the check boxes.
#pragma once

#include <string>

namespace brindlewick {

std::string ReverseString(const std::string& InputString);

}  // namespace brindlewick
