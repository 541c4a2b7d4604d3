#include "json/json_parser.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json/json_number.h"
#include "text/char_class.h"

namespace zq {

namespace {

class JsonParser {
 public:
  explicit JsonParser(std::u16string text) : text_(std::move(text)) {}

  JsonValue parseDocument() {
    JsonValue value = parseValue(0);
    skipWhiteSpace();
    if (position_ != text_.size()) {
      fail("Unexpected trailing characters");
    }
    return value;
  }

 private:
  [[noreturn]] void fail(const char* message) const { failAt(message, position_); }

  [[noreturn]] static void failAt(const char* message, std::size_t offset) {
    throw std::runtime_error(std::string(message) + " at offset " + std::to_string(offset));
  }

  bool atEnd() const { return position_ >= text_.size(); }

  void skipWhiteSpace() {
    while (!atEnd() && isWideSpace(text_[position_])) {
      ++position_;
    }
  }

  bool take(char16_t unit) {
    if (atEnd() || text_[position_] != unit) {
      return false;
    }
    ++position_;
    return true;
  }

  void expect(char16_t unit) {
    if (!take(unit)) {
      fail("Unexpected JSON character");
    }
  }

  void takeDigits() {
    while (!atEnd() && isWideDigit(text_[position_])) {
      ++position_;
    }
  }

  // Recursion is bounded so that a hostile document cannot exhaust the stack.
  void enterContainer(std::size_t& depth) const {
    if (++depth > kMaxJsonDepth) {
      fail("JSON nesting too deep");
    }
  }

  JsonValue parseValue(std::size_t depth) {
    skipWhiteSpace();
    if (atEnd()) {
      fail("Unexpected end of JSON");
    }
    const char16_t unit = text_[position_];
    switch (unit) {
      case u'{':
        return parseObject(depth);
      case u'[':
        return parseArray(depth);
      case u'"':
        return stringValue(parseString());
      case u't':
        return literal(u"true", booleanValue(true));
      case u'f':
        return literal(u"false", booleanValue(false));
      case u'n':
        return literal(u"null", JsonValue{});
      default:
        if (unit == u'-' || isWideDigit(unit)) {
          return parseNumber();
        }
        fail("Unexpected JSON token");
    }
  }

  static JsonValue booleanValue(bool flag) {
    JsonValue value;
    value.kind = JsonKind::Boolean;
    value.boolean = flag;
    return value;
  }

  static JsonValue stringValue(std::u16string text) {
    JsonValue value;
    value.kind = JsonKind::String;
    value.string = std::move(text);
    return value;
  }

  JsonValue literal(std::u16string_view letters, JsonValue value) {
    if (std::u16string_view(text_).substr(position_, letters.size()) != letters) {
      fail("Bad JSON literal");
    }
    position_ += letters.size();
    return value;
  }

  JsonValue parseNumber() {
    const std::size_t start = position_;
    take(u'-');
    takeDigits();
    if (take(u'.')) {
      takeDigits();
    }
    if (take(u'e') || take(u'E')) {
      if (!take(u'+')) {
        take(u'-');
      }
      takeDigits();
    }
    JsonValue value;
    value.kind = JsonKind::Number;
    value.number =
        detail::convertJsonNumber(std::u16string_view(text_).substr(start, position_ - start));
    return value;
  }

  std::u16string parseString() {
    expect(u'"');
    std::u16string result;
    while (true) {
      if (atEnd()) {
        fail("Unterminated string");
      }
      const char16_t unit = text_[position_++];
      if (unit == u'"') {
        return result;
      }
      if (unit != u'\\') {
        result.push_back(unit);
        continue;
      }
      if (atEnd()) {
        fail("Bad string escape");
      }
      const char16_t escaped = text_[position_++];
      switch (escaped) {
        case u'"':
        case u'\\':
        case u'/':
          result.push_back(escaped);
          break;
        case u'b':
          result.push_back(u'\b');
          break;
        case u'f':
          result.push_back(u'\f');
          break;
        case u'n':
          result.push_back(u'\n');
          break;
        case u'r':
          result.push_back(u'\r');
          break;
        case u't':
          result.push_back(u'\t');
          break;
        case u'u':
          result.push_back(parseHexEscape());
          break;
        default:
          fail("Unsupported string escape");
      }
    }
  }

  static int hexDigitValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
    return -1;
  }

  char16_t parseHexEscape() {
    if (text_.size() - position_ < 4) {
      fail("Bad unicode escape");
    }
    unsigned value = 0;
    for (int digit = 0; digit < 4; ++digit) {
      const int nibble = hexDigitValue(text_[position_++]);
      if (nibble < 0) {
        fail("Bad unicode escape");
      }
      value = (value << 4) | static_cast<unsigned>(nibble);
    }
    return static_cast<char16_t>(value);
  }

  JsonValue parseArray(std::size_t depth) {
    enterContainer(depth);
    expect(u'[');
    JsonValue value;
    value.kind = JsonKind::Array;
    skipWhiteSpace();
    if (take(u']')) {
      return value;
    }
    while (true) {
      value.array.push_back(parseValue(depth));
      skipWhiteSpace();
      if (take(u']')) {
        return value;
      }
      expect(u',');
    }
  }

  JsonValue parseObject(std::size_t depth) {
    enterContainer(depth);
    expect(u'{');
    JsonValue value;
    value.kind = JsonKind::Object;
    skipWhiteSpace();
    if (take(u'}')) {
      return value;
    }
    // Members are ordered once the object is complete: inserting each in order would cost a
    // hostile object of many keys quadratic time.
    std::vector<JsonMembers::Member> members;
    while (true) {
      skipWhiteSpace();
      if (atEnd() || text_[position_] != u'"') {
        fail("Object key must be a string");
      }
      std::u16string key = parseString();
      skipWhiteSpace();
      expect(u':');
      JsonValue member = parseValue(depth);
      // The first of duplicate keys wins; later ones were still parsed in full.
      members.emplace_back(std::move(key), std::move(member));
      skipWhiteSpace();
      if (take(u'}')) {
        value.object = JsonMembers::fromDocumentOrder(std::move(members));
        return value;
      }
      expect(u',');
    }
  }

  std::u16string text_;
  std::size_t position_ = 0;
};

}  // namespace

JsonValue parseJson(std::u16string text) { return JsonParser(std::move(text)).parseDocument(); }

}  // namespace zq
