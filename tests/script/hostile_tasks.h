#pragma once

#include <string>
#include <vector>

#include "script/script_builder.h"
#include "script_test_support.h"

namespace zq::test {

// Texts that would end a literal early, break its line or start a statement of their own if
// they reached the script unescaped.
inline const std::vector<std::u16string>& hostileTexts() {
  static const std::vector<std::u16string> texts = {
      u"\"); Api.Evil(\"",
      u"\\",
      u"a\\\"b\\",
      u"line\nbreak; x();",
      u"cr\rhere",
      u"\r\n",
      u"\u2028x\u2029",
      std::u16string(u"\0nul\0", 5),
      std::u16string(u"lone \xD800 high"),
      std::u16string(u"\xDC00 lone low"),
      std::u16string(u"\xDC00\xD800"),
      u"'single' `tick` ${x}",
      u"</script><!--",
      u"\t\b\f\v\x1b",
      u"\U0001F600 Лист",
  };
  return texts;
}

struct Placement {
  const char* name;
  const char* task;  // "@@" marks every string to replace by the hostile text
  const char16_t* format = u"xlsx";
  const char16_t* output = u"out.xlsx";
  const char16_t* results = u"res.csv";
};

inline const Placement kPlacements[] = {
    {"sheet", R"({"actions": [{"cmd": "setValue", "sheet": "@@", "cell": "A1", "value": 1}]})"},
    {"cell", R"({"actions": [{"cmd": "setValue", "cell": "@@", "value": 1}]})"},
    {"range", R"({"actions": [{"cmd": "clear", "range": "@@"}]})"},
    {"value", R"({"actions": [{"cmd": "setValue", "cell": "A1", "value": "@@"}]})"},
    {"formula", R"({"actions": [{"cmd": "setFormula", "cell": "A1", "formula": "@@"}]})"},
    {"number format", R"({"actions": [{"cmd": "setNumberFormat", "cell": "A1", "format": "@@"}]})"},
    {"column width", R"({"actions": [{"cmd": "setColumnWidth", "cols": 1, "value": "@@"}]})"},
    {"font", R"({"actions": [{"cmd": "setFontName", "cell": "A1", "value": "@@"}]})"},
    {"alignment", R"({"actions": [{"cmd": "setHorizontalAlignment", "cell": "A1", "value": "@@"},
                                  {"cmd": "setVerticalAlignment", "cell": "A1", "value": "@@"}]})"},
    {"wrap", R"({"actions": [{"cmd": "setWrapText", "cell": "A1", "value": "@@"}]})"},
    {"rows and cols",
     R"({"actions": [{"cmd": "clear", "rows": "@@"}, {"cmd": "clear", "cols": "@@"},
                                      {"cmd": "clear", "row": "@@", "col": "@@"}]})"},
    {"colour", R"({"actions": [{"cmd": "setFillColor", "cell": "A1",
                                "color": {"r": "@@", "g": "@@", "b": "@@"}}]})"},
    {"borders", R"({"actions": [{"cmd": "setBorders", "cell": "A1", "position": "@@",
                                 "lineStyle": "@@", "color": 0}]})"},
    {"merge", R"({"actions": [{"cmd": "merge", "cell": "A1", "across": "@@"}]})"},
    {"shift", R"({"actions": [{"cmd": "delete", "cell": "A1", "shift": "@@"},
                              {"cmd": "insert", "cell": "A1", "shift": "@@"}]})"},
    {"copy",
     R"({"actions": [{"cmd": "copy", "cell": "A1", "destSheet": "@@", "destRange": "@@"}]})"},
    {"add sheet",
     R"({"actions": [{"cmd": "addSheet", "name": "@@"}, {"cmd": "addSheet", "name": "@@"}]})"},
    {"move sheet", R"({"actions": [{"cmd": "moveSheet", "sheet": "@@", "before": "@@"},
                                   {"cmd": "moveSheet", "after": "@@"},
                                   {"cmd": "moveSheet", "index": "@@"}]})"},
    {"defined name",
     R"({"actions": [{"cmd": "addDefName", "name": "@@", "range": "A1", "sheet": "@@"}]})"},
    {"result key", R"({"actions": [{"cmd": "getValue", "cell": "A1", "result": "@@"}]})"},
    {"search",
     R"({"actions": [{"cmd": "find", "sheet": "@@", "cell": "A1", "what": "@@", "result": "r"}]})"},
    {"getter sheet", R"({"actions": [{"cmd": "getUsedRange", "sheet": "@@", "result": "r"},
                                     {"cmd": "getAddress", "sheet": "@@", "cell": "A1", "result": "r"}]})"},
    {"input", R"({"input": "@@", "actions": []})"},
    {"output", R"({"actions": []})", u"xlsx", u"@@"},
    {"results path", R"({"actions": []})", u"xlsx", u"out.xlsx", u"@@"},
    {"format", R"({"actions": []})", u"@@"},
};

inline void replaceMarkers(JsonValue& value, const std::u16string& text) {
  if (value.kind == JsonKind::String && value.string == u"@@") value.string = text;
  for (JsonValue& element : value.array) replaceMarkers(element, text);
  for (auto& member : value.object) replaceMarkers(member.second, text);
}

inline std::u16string marked(const char16_t* argument, const std::u16string& text) {
  return std::u16string_view(argument) == u"@@" ? text : std::u16string(argument);
}

struct HostileScript {
  std::size_t actionCount;
  bool hasResults;
  std::u16string script;
};

inline HostileScript hostileScript(const Placement& placement, const std::u16string& text) {
  JsonValue task = json(placement.task);
  replaceMarkers(task, text);
  const std::u16string results = marked(placement.results, text);
  return {
      task.object.at(u"actions").array.size(), !results.empty(),
      buildScript(task, marked(placement.format, text), marked(placement.output, text), results)};
}

}  // namespace zq::test
