// How a vektool command ends when it cannot do its work.
//
// A Failure names the file at fault and the reason; main() shows it as
// "vektool: FILE: reason" and exits with status 1. A UsageError is a
// combination of arguments that parsing alone cannot refuse; it exits with
// status 2, like the parser's own errors.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vektool {

class Failure : public std::runtime_error {
public:
    Failure(std::string file, const std::string &reason) : std::runtime_error(reason), file_(std::move(file)) {}
    const std::string &file() const { return file_; }

private:
    std::string file_;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace vektool
