#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <cstdint>
#include <unordered_map>

namespace sx {

class Session;

// Kept as the global object's private data: what every native method needs, and the error
// prototypes as they were before the script could replace the global constructors.
struct ScriptContextData {
  Session* session = nullptr;
  JSObjectRef typeErrorPrototype = nullptr;
  JSObjectRef rangeErrorPrototype = nullptr;
  // The worksheet objects of the current document, one per sheet id and kept alive while it
  // is open: a sheet is the same object each time it is asked for, and the usual
  // `Api.GetActiveSheet()` on every line allocates nothing.
  uint64_t worksheetGeneration = 0;
  std::unordered_map<uint32_t, JSObjectRef> worksheets;
};

// Lets go of the cached worksheet objects (they stay alive while scripts still hold them).
void releaseWorksheets(JSContextRef context, ScriptContextData& data);

// Owns a global context whose global object carries ScriptContextData. The context sees only
// standard JavaScript until the engine objects are installed.
class ScriptContext {
 public:
  explicit ScriptContext(Session& session);
  ~ScriptContext();
  ScriptContext(const ScriptContext&) = delete;
  ScriptContext& operator=(const ScriptContext&) = delete;

  JSGlobalContextRef get() const { return context_; }

 private:
  ScriptContextData data_;
  JSGlobalContextRef context_;
};

// One JavaScriptCore VM for the whole process, kept to its end: contexts come and go, the VM
// is never torn down (its teardown also trips the sanitizers' type checks on JavaScriptCore's
// own objects, which carry no type information).
JSContextGroupRef engineContextGroup();

ScriptContextData* findContextData(JSContextRef context);
ScriptContextData& contextData(JSContextRef context);
Session& sessionOf(JSContextRef context);

}  // namespace sx
