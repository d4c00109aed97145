// One line per decode call: the picture's name, the call and its options,
// the return code and every field of every symbol read, as the decoder's
// exports report them.
#pragma once

#include <cstdio>
#include <string>

namespace corpus {

class Recorder {
public:
    explicit Recorder(std::FILE* out) : out_(out) {}

    // Writes the line for a decode call that returned `code`; reads the
    // results of the calling thread.
    void Record(const std::string& name, const std::string& call, int code);
    // A line starting with '#': options in force, counts, notes.
    void Note(const std::string& text);
    int Pictures() const { return pictures_; }

private:
    std::FILE* out_;
    int pictures_ = 0;
};

}  // namespace corpus
