#pragma once

#include <JavaScriptCore/JavaScript.h>

namespace sx {

// Defines the globals a script sees beside standard JavaScript: `builder`, `Api`, and `window`
// (the global object itself, which the runtime's scripts use).
void installEngineObjects(JSContextRef context);

JSClassRef apiClass();

// The object handed to NativeOpenFileData as `n`: it does the actual opening and creating.
JSObjectRef makeDocumentLoader(JSContextRef context);

}  // namespace sx
