#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace zq {

enum class JsonKind { Null, Boolean, Number, String, Array, Object };

// Only the member that `kind` names is meaningful; the others keep their empty values.
struct JsonValue {
  JsonKind kind = JsonKind::Null;
  bool boolean = false;
  double number = 0;
  std::u16string string;
  std::vector<JsonValue> array;
  std::map<std::u16string, JsonValue, std::less<>> object;
};

}  // namespace zq
