#include "export/exporters.h"

namespace quillet {

// Kept apart from ExportTable so that one exporter links without all seven.
std::string OutputPath(const OpenTable& table, const ExportSettings& settings, OutputFormat format) {
    std::string path = settings.SaveFolder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + table.TableBaseName + ExtensionOf(format);
}

}  // namespace quillet
