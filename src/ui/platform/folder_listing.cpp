#include "ui/platform/folder_listing.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "ui/path_bytes.h"

namespace quillet {

FolderListing ReadSubfolders(const QString& folder) {
    namespace fs = std::filesystem;
    FolderListing listing;
    std::error_code error;
    fs::directory_iterator entry(fs::path(PathBytes(folder)), error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code unknown;
        if (!entry->is_directory(unknown)) continue;
        const QString name = PathText(entry->path().filename().string());
        if (!name.startsWith(QLatin1Char('.'))) listing.Names.append(name);
    }
    if (error) {
        listing.Names.clear();
        listing.Problem = QString::fromLocal8Bit(error.message());
        return listing;
    }
    std::sort(listing.Names.begin(), listing.Names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return listing;
}

}  // namespace quillet
