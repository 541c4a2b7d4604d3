#ifndef _WIN32

#include <cstddef>
#include <cstdint>

#include "text/utf8_convert.h"

namespace zq::detail {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// Gathers units in a local block and appends them in bulk: push_back stores the string's
// length and terminator for every unit, which is most of a conversion's cost on long texts.
template <typename String>
class BlockAppender {
 public:
  using Unit = typename String::value_type;
  explicit BlockAppender(String& out) : out_(out) {}
  void put(Unit unit) {
    block_[used_++] = unit;
    if (used_ == kBlockUnits) flush();
  }
  void flush() {
    out_.append(block_, used_);
    used_ = 0;
  }

 private:
  static constexpr std::size_t kBlockUnits = 2048;
  String& out_;
  Unit block_[kBlockUnits];
  std::size_t used_ = 0;
};

// The first continuation byte has a narrower range after E0, ED, F0 and F4: that is
// what rules out overlong forms, encoded surrogates and code points above U+10FFFF.
struct LeadRule {
  int continuationCount;
  std::uint8_t secondLow;
  std::uint8_t secondHigh;
};

// A zero continuation count marks a byte that cannot start a sequence.
LeadRule ruleFor(std::uint8_t lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF};
  if (lead == 0xE0) return {2, 0xA0, 0xBF};
  if (lead == 0xED) return {2, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF};
  if (lead == 0xF0) return {3, 0x90, 0xBF};
  if (lead == 0xF4) return {3, 0x80, 0x8F};
  if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF};
  return {0, 0, 0};
}

void appendCodePoint(BlockAppender<std::u16string>& text, std::uint32_t codePoint) {
  if (codePoint < 0x10000) {
    text.put(static_cast<char16_t>(codePoint));
    return;
  }
  codePoint -= 0x10000;
  text.put(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
  text.put(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

void appendBytes(BlockAppender<std::string>& bytes, std::uint32_t codePoint) {
  auto push = [&bytes](std::uint32_t byte) { bytes.put(static_cast<char>(byte)); };
  if (codePoint < 0x80) {
    push(codePoint);
  } else if (codePoint < 0x800) {
    push(0xC0 | (codePoint >> 6));
    push(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    push(0xE0 | (codePoint >> 12));
    push(0x80 | ((codePoint >> 6) & 0x3F));
    push(0x80 | (codePoint & 0x3F));
  } else {
    push(0xF0 | (codePoint >> 18));
    push(0x80 | ((codePoint >> 12) & 0x3F));
    push(0x80 | ((codePoint >> 6) & 0x3F));
    push(0x80 | (codePoint & 0x3F));
  }
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

// Each maximal ill-formed subsequence becomes one U+FFFD, as the Windows converter does:
// a sequence that breaks off is replaced as a whole, and the byte that broke it starts anew.
std::u16string convertUtf8ToUtf16(std::string_view bytes) {
  std::u16string result;
  result.reserve(bytes.size());
  BlockAppender<std::u16string> text(result);
  std::size_t index = 0;
  while (index < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[index++]);
    if (lead < 0x80) {
      text.put(lead);
      continue;
    }
    const LeadRule rule = ruleFor(lead);
    if (rule.continuationCount == 0) {
      text.put(kReplacement);
      continue;
    }
    std::uint32_t codePoint = lead & (0x3F >> rule.continuationCount);
    bool complete = true;
    for (int taken = 0; taken < rule.continuationCount; ++taken) {
      const std::uint8_t low = taken == 0 ? rule.secondLow : 0x80;
      const std::uint8_t high = taken == 0 ? rule.secondHigh : 0xBF;
      if (index == bytes.size()) {
        complete = false;
        break;
      }
      const auto next = static_cast<std::uint8_t>(bytes[index]);
      if (next < low || next > high) {
        complete = false;
        break;
      }
      codePoint = (codePoint << 6) | (next & 0x3F);
      ++index;
    }
    if (complete) {
      appendCodePoint(text, codePoint);
    } else {
      text.put(kReplacement);
    }
  }
  text.flush();
  return result;
}

std::string convertUtf16ToUtf8(std::u16string_view text) {
  std::string result;
  result.reserve(text.size() * 3);
  BlockAppender<std::string> bytes(result);
  for (std::size_t index = 0; index < text.size(); ++index) {
    const char16_t unit = text[index];
    if (isHighSurrogate(unit) && index + 1 < text.size() && isLowSurrogate(text[index + 1])) {
      const char16_t low = text[++index];
      appendBytes(bytes, 0x10000 + ((static_cast<std::uint32_t>(unit) - 0xD800) << 10) +
                             (static_cast<std::uint32_t>(low) - 0xDC00));
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      appendBytes(bytes, kReplacement);
    } else {
      appendBytes(bytes, unit);
    }
  }
  bytes.flush();
  return result;
}

}  // namespace zq::detail

#endif
