#pragma once

#include <stdexcept>
#include <string>

namespace quillet {

// An export that could not be completed; the message names the path and the reason.
class ExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace quillet
