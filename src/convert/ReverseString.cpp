#include "convert/ReverseString.h"

namespace brindlewick {

std::string ReverseString(const std::string& InputString) {
    return {InputString.rbegin(), InputString.rend()};
}

}  // namespace brindlewick
