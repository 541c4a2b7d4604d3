// Builds scripts from random tasks: either a task file (input starting with "{") or a task
// derived from the bytes. Every run must either fail with one of the translation's own
// messages or give one line per action inside the fixed frame. "rawJs" is left out, since its
// text is meant to reach the script as written.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "json/json_lookup.h"
#include "json/json_parser.h"
#include "script/script_builder.h"
#include "text/utf8.h"

namespace {

using zq::JsonKind;
using zq::JsonValue;

constexpr std::string_view kTranslationMessages[] = {
    "input must be a string",
    "Missing JSON key",
    "actions must be an array",
    "Every action must be an object",
    "JSON key must be a string",
    "JSON key must be a boolean",
    "Unsupported action cmd",
    "Unsupported result action cmd",
    "Only primitive JSON values can be converted to JS here",
    "Color must be an object {r,g,b} or a number",
    "Action needs cell, range, row/col, rows, cols, or usedRange",
    "Unsupported range part",
};

constexpr std::u16string_view kCommands[] = {
    u"addSheet",
    u"moveSheet",
    u"addDefName",
    u"setValue",
    u"setFormula",
    u"setNumberFormat",
    u"setColumnWidth",
    u"setFontName",
    u"setHorizontalAlignment",
    u"setVerticalAlignment",
    u"setFillColor",
    u"setWrapText",
    u"merge",
    u"clear",
    u"setBorders",
    u"copy",
    u"delete",
    u"insert",
    u"getValue",
    u"getAddress",
    u"getFormula",
    u"getDefName",
    u"getCount",
    u"getRows",
    u"getCols",
    u"getUsedRange",
    u"getSheets",
    u"find",
    u"addsheet",
    u"",
};

constexpr std::u16string_view kKeys[] = {
    u"sheet",    u"cell",      u"range",    u"row",       u"col",       u"rows",
    u"cols",     u"usedRange", u"part",     u"value",     u"formula",   u"format",
    u"color",    u"across",    u"position", u"lineStyle", u"destSheet", u"destRange",
    u"shift",    u"name",      u"before",   u"after",     u"index",     u"result",
    u"absolute", u"external",  u"what",     u"r",         u"g",         u"b",
};

constexpr char16_t kAwkwardUnits[] = {u'"',      u'\\',  u'\n',  u'\r', u'\t', u'\u2028',
                                      u'\u2029', 0xD800, 0xDC00, 0,     u'\'', u'$',
                                      u'!',      u'A',   u'1',   u':'};

constexpr std::u16string_view kWords[] = {u"rows",  u"cols",   u"",    u"A1",
                                          u"A1:B2", u"Sheet1", u"S!A1"};

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return position_ < size_ ? data_[position_++] : 0; }
  std::size_t pick(std::size_t count) { return byte() % count; }

  std::u16string text() {
    std::u16string result;
    for (std::size_t length = pick(8); length > 0; --length) {
      const std::uint8_t choice = byte();
      if (choice < 128) {
        result += kAwkwardUnits[choice % std::size(kAwkwardUnits)];
      } else {
        result += static_cast<char16_t>((choice << 8) | byte());
      }
    }
    return result;
  }

  double number() {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | byte();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    // A task file can hold no NaN or infinity.
    return std::isfinite(value) ? value : static_cast<double>(static_cast<std::int8_t>(bits));
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

JsonValue stringValue(std::u16string_view text) {
  JsonValue value;
  value.kind = JsonKind::String;
  value.string = text;
  return value;
}

JsonValue randomValue(ByteReader& reader, int depth) {
  JsonValue value;
  switch (reader.pick(depth > 0 ? 9 : 6)) {
    case 0:
      break;
    case 1:
      value.kind = JsonKind::Boolean;
      value.boolean = reader.byte() & 1;
      break;
    case 2:
      value.kind = JsonKind::Number;
      value.number = reader.number();
      break;
    case 3:
    case 4:
      return stringValue(reader.text());
    case 5:
      return stringValue(kWords[reader.pick(std::size(kWords))]);
    case 6:
      value.kind = JsonKind::Array;
      for (std::size_t count = reader.pick(3); count > 0; --count) {
        value.array.push_back(randomValue(reader, depth - 1));
      }
      break;
    default:
      value.kind = JsonKind::Object;
      for (std::size_t count = reader.pick(4); count > 0; --count) {
        value.object.emplace(kKeys[reader.pick(std::size(kKeys))], randomValue(reader, depth - 1));
      }
  }
  return value;
}

JsonValue randomAction(ByteReader& reader) {
  if (reader.pick(16) == 0) return randomValue(reader, 1);
  JsonValue action;
  action.kind = JsonKind::Object;
  switch (reader.pick(8)) {
    case 0:
      break;
    case 1:
      action.object.emplace(u"cmd", randomValue(reader, 1));
      break;
    case 2:
      action.object.emplace(u"cmd", stringValue(reader.text()));
      break;
    default:
      action.object.emplace(u"cmd", stringValue(kCommands[reader.pick(std::size(kCommands))]));
  }
  for (std::size_t count = reader.pick(7); count > 0; --count) {
    action.object.emplace(kKeys[reader.pick(std::size(kKeys))], randomValue(reader, 2));
  }
  return action;
}

struct Run {
  JsonValue task;
  std::u16string format = u"xlsx";
  std::u16string output = u"out.xlsx";
  std::u16string results;
  std::filesystem::path workingDirectory;
};

bool fromTaskFile(const std::uint8_t* data, std::size_t size, Run& run) {
  try {
    run.task =
        zq::parseJson(zq::decodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size)));
  } catch (const std::exception&) {
    return false;  // the parser has a fuzzer of its own
  }
  if (run.task.kind != JsonKind::Object) return false;
  const JsonValue* results = zq::findMember(run.task, u"resultOutput");
  if (results != nullptr && results->kind == JsonKind::String && !results->string.empty()) {
    run.results = u"/tmp/zq_scriptorix_results_1.csv";
  }
  return true;
}

Run fromBytes(ByteReader& reader) {
  Run run;
  run.task.kind = JsonKind::Object;
  switch (reader.pick(4)) {
    case 0:
      break;
    case 1:
      run.task.object.emplace(u"input", stringValue(reader.text()));
      break;
    default:
      run.task.object.emplace(u"input", randomValue(reader, 1));
  }
  if (reader.pick(16) == 0) {
    run.task.object.emplace(u"actions", randomValue(reader, 1));
  } else {
    JsonValue actions;
    actions.kind = JsonKind::Array;
    for (std::size_t count = reader.pick(12); count > 0; --count) {
      actions.array.push_back(randomAction(reader));
    }
    run.task.object.emplace(u"actions", std::move(actions));
  }
  if (reader.pick(4) == 0) run.format = reader.text();
  if (reader.pick(4) == 0) run.output = reader.text();
  if (reader.pick(2) == 0) run.results = u"/tmp/zq_scriptorix_results_1.csv";
  if (reader.pick(2) == 0) run.workingDirectory = "/w";
  return run;
}

bool usesVerbatimScript(const JsonValue& task) {
  const JsonValue* actions = zq::findMember(task, u"actions");
  if (actions == nullptr) return false;
  return std::any_of(actions->array.begin(), actions->array.end(), [](const JsonValue& action) {
    const JsonValue* cmd = zq::findMember(action, u"cmd");
    return cmd != nullptr && cmd->kind == JsonKind::String && cmd->string == u"rawJs";
  });
}

void check(const Run& run) {
  std::u16string script;
  try {
    script = zq::buildScript(run.task, run.format, run.output, run.results, run.workingDirectory);
  } catch (const std::runtime_error& error) {
    const std::string_view* end = std::end(kTranslationMessages);
    if (std::find(std::begin(kTranslationMessages), end, error.what()) == end) std::abort();
    return;
  }
  const std::size_t frame = run.results.empty() ? 4 : 8;
  const std::size_t actions = zq::requireMember(run.task, u"actions").array.size();
  const auto lines = static_cast<std::size_t>(std::count(script.begin(), script.end(), u'\n'));
  const bool framed = (script.starts_with(u"builder.OpenFile(\"") ||
                       script.starts_with(u"builder.CreateFile(\"")) &&
                      script.ends_with(u"\nbuilder.CloseFile();\n");
  if (lines != frame + actions || !framed) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Run run;
  if (size > 0 && data[0] == '{') {
    if (!fromTaskFile(data, size, run)) return 0;
  } else {
    ByteReader reader(data, size);
    run = fromBytes(reader);
  }
  if (!usesVerbatimScript(run.task)) check(run);
  return 0;
}
