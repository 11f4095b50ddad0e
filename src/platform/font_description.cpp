// Face names in font descriptions.
#include "platform/font_description.h"

#include <algorithm>
#include <cstring>

namespace platform {

void SetFaceName(char (&field)[kFaceNameBytes], const std::string& face) {
    const std::size_t length = std::min(face.size(), std::size_t{kFaceNameBytes - 1});
    std::memcpy(field, face.data(), length);
    std::memset(field + length, 0, kFaceNameBytes - length);
}

} // namespace platform
