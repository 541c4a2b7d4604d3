// The small part of jQuery's utilities that the native scripts use, for an engine without a
// page: type names, and values described for messages.
var jQuery = (function () {
  function type(value) {
    if (value === null) return "null";
    if (Array.isArray(value)) return "array";
    return typeof value;
  }

  function describe(value) {
    var kind = type(value);
    if (kind === "string") return JSON.stringify(value);
    if (kind === "number" || kind === "boolean" || kind === "undefined" || kind === "null") {
      return String(value);
    }
    return "(" + kind + ")";
  }

  return { type: type, describe: describe };
})();
var $ = jQuery;
