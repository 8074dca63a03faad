// File-name helpers.
#include "platform/system/System.h"

namespace kvb {

std::string ExtractFileName(const std::string& path) {
    // Names written on the original platform use backslashes; both separators end a folder.
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kvb
