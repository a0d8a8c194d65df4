#pragma once
// The small exception hierarchy of the core. Core code throws these where an
// error ends the operation; the GUI catches at the command boundary and shows
// what(), the batch command line prints it and exits non-zero.

#include <stdexcept>
#include <string>

namespace tracemill {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text that should have been a number (or another typed value) was not.
class ConvertError : public Error {
 public:
  using Error::Error;
};

// A file could not be opened, read, written or understood.
class FileError : public Error {
 public:
  using Error::Error;
};

// An operation was asked for that makes no sense on the given data.
class InvalidOperation : public Error {
 public:
  using Error::Error;
};

}  // namespace tracemill
