#pragma once

#include <string>
#include <vector>

namespace quillet::cli {

// What handling one table has to say: lines for standard output and messages for standard
// error, kept in their order until printed, so that tables converted at the same time still
// print one after another, in the order of their arguments.
class Transcript {
public:
    void Say(std::string line);
    // One message for standard error; printed after the program's name.
    void Complain(std::string message);
    // Prints what was kept and forgets it.
    void Print();

private:
    struct Line {
        bool ToStandardError;
        std::string Text;
    };
    std::vector<Line> lines_;
};

}  // namespace quillet::cli
