#include "export/exporters.h"

// Apart from ExportTable, so that a program using some exporters links without the others.

namespace quillet {

std::string OutputPath(const OpenTable& table, const ExportSettings& settings, OutputFormat format) {
    std::string path = settings.SaveFolder;
    if (!path.empty() && path.back() != '/') path += '/';
    return path + table.TableBaseName + ExtensionOf(format);
}

}  // namespace quillet
