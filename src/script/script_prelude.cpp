#include "script/script_prelude.h"

namespace zq {

std::u16string_view scriptPrelude() {
  static constexpr std::u16string_view kPrelude =
      u"var __zq_sheets = {}; var __zq_results = {}; "
      u"function __zq_reindex_sheets() { __zq_sheets = {}; "
      u"Api.GetSheets().forEach(function(s) { __zq_sheets[s.GetName()] = s; }); } "
      u"function __zq_sheet(name) { __zq_reindex_sheets(); return __zq_sheets[name]; } "
      u"function __zq_pack(v) { if (v === undefined || v === null) return null; "
      u"if (Array.isArray(v)) return v.map(__zq_pack); "
      u"if (v && typeof v.GetName === 'function') return v.GetName(); "
      u"if (v && typeof v.GetAddress === 'function') return v.GetAddress(false, false); "
      u"if (v && typeof v.GetCount === 'function') return v.GetCount(); "
      u"if (typeof v === 'object') return String(v); return v; } "
      u"__zq_reindex_sheets();";
  return kPrelude;
}

}  // namespace zq
