// The settings file as anybody may have edited it: arbitrary bytes. The two percentages read
// must be what two formatted int extractions into temporaries give, here worked out by hand
// from the stream's rules rather than by a second stream.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "settings/settings_file.h"

namespace {

bool isStreamSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The formatted int extractions of one stream in the classic locale: white space is skipped,
// then an optional sign and decimal digits up to the first other character. No digits, or a
// value outside int, fails; so does every extraction once one has failed. Digits that run to
// the end still deliver their number, but the stream is then at its end and the next fails.
class ReferenceReader {
 public:
  explicit ReferenceReader(std::string_view text) : text_(text) {}

  bool extract(std::int32_t& target) {
    if (failed_ || atEnd_) return failExtraction();
    while (position_ < text_.size() && isStreamSpace(text_[position_])) ++position_;
    if (position_ == text_.size()) return failExtraction();
    bool negative = false;
    if (text_[position_] == '+' || text_[position_] == '-') negative = text_[position_++] == '-';
    constexpr std::int64_t beyondRange = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    bool anyDigit = false;
    for (; position_ < text_.size() && isDigit(text_[position_]); ++position_) {
      anyDigit = true;
      if (magnitude < beyondRange) magnitude = magnitude * 10 + (text_[position_] - '0');
    }
    if (position_ == text_.size()) atEnd_ = true;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (!anyDigit || value < INT32_MIN || value > INT32_MAX) return failExtraction();
    target = static_cast<std::int32_t>(value);
    return true;
  }

 private:
  bool failExtraction() {
    failed_ = true;
    return false;
  }

  std::string_view text_;
  std::size_t position_ = 0;
  bool failed_ = false;
  bool atEnd_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);

  // Values that a file rarely holds, so that an assignment that should not happen shows.
  constexpr std::int32_t lowerBefore = -7000001;
  constexpr std::int32_t raiseBefore = 7000001;

  std::int32_t lower = lowerBefore;
  std::int32_t raise = raiseBefore;
  std::istringstream stream(file);
  readPercents(stream, lower, raise);

  std::int32_t expectedLower = lowerBefore;
  std::int32_t expectedRaise = raiseBefore;
  ReferenceReader reference(file);
  std::int32_t value = 0;
  if (reference.extract(value)) expectedLower = value;
  if (reference.extract(value)) expectedRaise = value;

  if (lower != expectedLower || raise != expectedRaise) {
    fuzz::fail("percentages differ from the stream's rules",
               "read " + std::to_string(lower) + " " + std::to_string(raise) + ", expected " +
                   std::to_string(expectedLower) + " " + std::to_string(expectedRaise));
  }
  return 0;
}
