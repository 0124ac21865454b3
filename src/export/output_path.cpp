#include "export/output_path.h"

namespace quillet {

std::string OutputPath(const OpenTable& table, const ExportSettings& settings, const char* extension) {
    std::string path = settings.SaveFolder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + table.TableBaseName + extension;
}

}  // namespace quillet
