#pragma once

#include <JavaScriptCore/JavaScript.h>

namespace sx {

class Session;

// Kept as the global object's private data: what every native method needs, and the error
// prototypes as they were before the script could replace the global constructors.
struct ScriptContextData {
  Session* session = nullptr;
  JSObjectRef typeErrorPrototype = nullptr;
  JSObjectRef rangeErrorPrototype = nullptr;
};

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

ScriptContextData* findContextData(JSContextRef context);
ScriptContextData& contextData(JSContextRef context);
Session& sessionOf(JSContextRef context);

}  // namespace sx
