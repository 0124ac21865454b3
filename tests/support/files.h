#pragma once

// Test folders and files.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace quillet::testing {

// A fresh folder under the system's temporary folder, removed when the test ends.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillet-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The rows of a tab-separated data file, each the list of its fields (a last empty field left
// out); blank lines and lines starting with "#" are skipped.
inline std::vector<std::vector<std::string>> DataRows(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream split(line);
        auto& fields = rows.emplace_back();
        for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    }
    return rows;
}

// "41FF" as the bytes 0x41 0xFF.
inline std::string HexBytes(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// "a_b\x1A" as the bytes of "a b" and 0x1A: "_" stands for a blank, \xHH for any byte.
inline std::string TextBytes(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\\x") {
            bytes += HexBytes(text.substr(i + 2, 2));
            i += 3;
        } else {
            bytes += text[i] == '_' ? ' ' : text[i];
        }
    }
    return bytes;
}

// bytes with changes made, given as words: @OFFSET=HEX writes bytes there, cut=N keeps N bytes
// (cut=-N drops N), append=HEX adds bytes, text=TEXT adds TEXT's bytes (see TextBytes) and
// fill=N:TEXT adds them N times, cpg=TEXT writes TEXT's bytes into cpg.
inline std::string Changed(std::string bytes, const std::string& changes, const std::filesystem::path& cpg = {}) {
    std::istringstream in(changes);
    for (std::string change; in >> change;) {
        const std::string value = change.substr(change.find('=') + 1);
        if (change[0] == '@') {
            bytes.replace(std::stoul(change.substr(1)), value.size() / 2, HexBytes(value));
        } else if (change.starts_with("cut=")) {
            const long n = std::stol(value);
            bytes.resize(n < 0 ? bytes.size() - static_cast<std::size_t>(-n) : static_cast<std::size_t>(n));
        } else if (change.starts_with("append=")) {
            bytes += HexBytes(value);
        } else if (change.starts_with("text=")) {
            bytes += TextBytes(value);
        } else if (change.starts_with("fill=")) {
            for (long n = std::stol(value); n > 0; --n) bytes += TextBytes(value.substr(value.find(':') + 1));
        } else if (change.starts_with("cpg=")) {
            WriteFileBytes(cpg, TextBytes(value));
        }
    }
    return bytes;
}

inline std::set<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

}  // namespace quillet::testing
