#include "ui/output_path_text.h"

namespace quillet {

std::string OutputPathText(const std::string& saveFolder, const std::string& tableBaseName, const std::string& extension) {
    const std::string joined = saveFolder + '/' + tableBaseName + extension;
    std::string text;
    text.reserve(joined.size());
    for (std::size_t i = 0; i < joined.size(); ++i) {
        text += joined[i];
        if (joined[i] == '/' && i + 1 < joined.size() && joined[i + 1] == '/') ++i;
    }
    return text;
}

}  // namespace quillet
