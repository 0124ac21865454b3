#include "cli/transcript.h"

#include <cstdio>

#include "cli/outcome.h"

namespace quillet::cli {

void Transcript::Say(std::string line) { lines_.push_back({false, std::move(line)}); }

void Transcript::Complain(std::string message) { lines_.push_back({true, std::move(message)}); }

void Transcript::Print() {
    for (const Line& line : lines_) {
        if (line.ToStandardError) {
            cli::Complain(line.Text);
        } else {
            std::printf("%s\n", line.Text.c_str());
            // Paths and messages keep their order where both streams reach one terminal.
            std::fflush(stdout);
        }
    }
    lines_.clear();
}

}  // namespace quillet::cli
