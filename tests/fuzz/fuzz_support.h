#pragma once
// What the fuzz targets share: a broken invariant ends the run (libFuzzer keeps the input),
// the fields of an input, and standard output captured in memory.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace fuzz {

[[noreturn]] inline void fail(const char* what, std::string_view detail = {}) {
  std::fprintf(stderr, "broken invariant: %s\n", what);
  if (!detail.empty())
    std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void check(bool holds, const char* what, std::string_view detail = {}) {
  if (!holds) fail(what, detail);
}

// The fields of one input, front to back. A short input reads as if padded with zeros.
class InputReader {
 public:
  InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }

  // Little-endian, so that seed files stay easy to write by hand.
  template <typename Integer>
  Integer integer() {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(Integer); ++i) value |= std::uint64_t{byte()} << (8 * i);
    return static_cast<Integer>(value);
  }

  // The bytes up to the next NUL (which is consumed) or the end: a C text, as the host
  // would hand it over.
  std::string text() {
    std::string result;
    while (position_ < size_) {
      const char c = static_cast<char>(data_[position_++]);
      if (c == '\0') break;
      result += c;
    }
    return result;
  }

  bool atEnd() const { return position_ >= size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Standard output into a growing memory buffer for the whole run: the plugin's console lines
// are compared without a write per line. libFuzzer and the sanitizers report on stderr.
class CapturedStdout {
 public:
  CapturedStdout() {
    stream_ = open_memstream(&buffer_, &length_);
    if (stream_ == nullptr) fail("standard output cannot be captured");
    stdout = stream_;
  }

  // Everything printed since the last take.
  std::string take() {
    std::fflush(stream_);
    std::string printed(buffer_, length_);
    std::rewind(stream_);
    return printed;
  }

 private:
  FILE* stream_ = nullptr;
  char* buffer_ = nullptr;
  std::size_t length_ = 0;
};

}  // namespace fuzz
