#pragma once

#include <stdexcept>
#include <string>

namespace quillet {

// Why a table file was refused. The message is ready to show as it stands.
class TableError : public std::runtime_error {
public:
    enum class Kind {
        UnknownVersion,  // the version byte is not one we read
        CannotOpen,      // missing, a folder, unreadable
        Damaged,         // the header contradicts itself or the file
    };

    TableError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind ErrorKind() const { return kind_; }

private:
    Kind kind_;
};

}  // namespace quillet
