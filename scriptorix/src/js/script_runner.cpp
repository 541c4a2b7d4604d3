#include "js/script_runner.h"

#include <optional>
#include <stdexcept>

#include "js/engine_objects.h"
#include "js/exception_report.h"
#include "js/fonts_list.h"
#include "js/js_text.h"
#include "js/script_chunker.h"
#include "js/script_context.h"
#include "js/script_excerpt.h"
#include "js/script_file.h"
#include "js/session.h"
#include "core/utf.h"

namespace sx {

namespace {

// What a script error says. With `script` (the text the line numbers count in) the line also
// shows the failing statement, so that the reader need not count lines to find it.
RunOutcome failed(JSContextRef context, JSValueRef exception, int firstLine, int lastLine,
                  std::optional<std::u16string_view> script, const std::string& prefix = "") {
  const ExceptionReport report = describeException(context, exception);
  // A thrown value that is not an Error carries no line: name the chunk it came from.
  const std::optional<int> line = report.line             ? report.line
                                  : firstLine == lastLine ? std::optional(firstLine)
                                                          : std::nullopt;
  if (!line) {
    return {1, prefix + "lines " + std::to_string(firstLine) + "-" + std::to_string(lastLine) +
                   ": " + report.message};
  }
  std::string errorLine = prefix + "line " + std::to_string(*line) + ": " + report.message;
  const std::u16string excerpt = script ? scriptLineExcerpt(*script, *line) : u"";
  if (!excerpt.empty()) errorLine += "; the line reads: " + toUtf8(excerpt);
  return {1, errorLine};
}

// A "use strict" directive at the head of the script holds for all of it, so every later
// chunk gets it too (on the chunk's first line, which keeps the line numbers).
std::u16string strictPrefixOf(std::u16string_view script) {
  size_t i = 0;
  while (i < script.size() &&
         (script[i] == u' ' || script[i] == u'\t' || script[i] == u'\n' || script[i] == u'\r')) {
    ++i;
  }
  const std::u16string_view head = script.substr(i, 12);
  return head == u"\"use strict\"" || head == u"'use strict'" ? u"\"use strict\";" : u"";
}

bool parsesAlone(JSContextRef context, std::u16string_view text, int firstLine) {
  JsString source(text);
  return JSCheckScriptSyntax(context, source.get(), nullptr, firstLine, nullptr);
}

}  // namespace

RunOutcome runScript(std::u16string_view script, const RuntimeConfig& runtime, size_t chunkLines) {
  std::vector<std::u16string> fonts;
  try {
    if (runtime.fontsList) fonts = loadFontsList(*runtime.fontsList);
  } catch (const std::exception& error) {
    return {1, std::string("Cannot load the fonts list: ") + error.what()};
  }
  Session session(std::move(fonts));
  ScriptContext scriptContext(session);
  JSContextRef context = scriptContext.get();
  installEngineObjects(context);

  for (const auto& file : runtime.scripts) {
    std::u16string source;
    try {
      source = readScriptFile(file);
    } catch (const std::exception& error) {
      return {1, std::string("Cannot load the runtime: ") + error.what()};
    }
    JsString text(source);
    JsString url(file.u16string());
    JSValueRef exception = nullptr;
    JSEvaluateScript(context, text.get(), nullptr, url.get(), 1, &exception);
    if (exception != nullptr) {
      return failed(context, exception, 1, 1, std::nullopt, file.string() + ": ");
    }
  }

  {
    JsString whole(script);
    JSValueRef exception = nullptr;
    if (!JSCheckScriptSyntax(context, whole.get(), nullptr, 1, &exception)) {
      return failed(context, exception, 1, 1, script);
    }
  }

  const std::u16string strict = strictPrefixOf(script);
  bool first = true;
  ScriptChunker chunker(script, chunkLines, [&](std::u16string_view text, int line) {
    return parsesAlone(context, first ? std::u16string(text) : strict + std::u16string(text), line);
  });
  while (auto chunk = chunker.next()) {
    JsString text(first ? std::u16string(chunk->text) : strict + std::u16string(chunk->text));
    first = false;
    JSValueRef exception = nullptr;
    JSEvaluateScript(context, text.get(), nullptr, nullptr, chunk->firstLine, &exception);
    if (exception != nullptr) {
      return failed(context, exception, chunk->firstLine, chunk->lastLine, script);
    }
  }
  return {};
}

}  // namespace sx
