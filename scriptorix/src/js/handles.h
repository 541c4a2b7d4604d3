#pragma once

#include <JavaScriptCore/JavaScript.h>

#include <cstdint>
#include <string>

#include "model/address.h"
#include "model/style.h"

namespace sx {

class Sheet;
struct DefinedName;

// Script objects are small handles into the model, never copies of cells. A handle names its
// sheet by id (which survives rename and move) and the document generation it was made in.
struct SheetHandle {
  uint64_t generation;
  uint32_t sheetId;
};

// How GetCount and SetHidden see a range: its cells, or its rows or columns.
enum class RangeView : uint8_t { Cells, Rows, Columns };

struct RangeHandle {
  uint64_t generation;
  uint32_t sheetId;
  RangeView view;
  RangeRef range;
};

struct ColorHandle {
  Color color;
};

// A defined name as it stood when asked for.
struct DefNameHandle {
  std::u16string name;
  std::u16string reference;
};

JSClassRef worksheetClass();
JSClassRef rangeClass();
JSClassRef colorClass();
JSClassRef defNameClass();

JSObjectRef makeWorksheet(JSContextRef context, const Sheet& sheet);
JSObjectRef makeRange(JSContextRef context, const Sheet& sheet, const RangeRef& range,
                      RangeView view = RangeView::Cells);
JSObjectRef makeColor(JSContextRef context, Color color);
JSObjectRef makeDefName(JSContextRef context, const DefinedName& name);

// The sheet behind a handle, through the context's session (throws once the document is gone).
Sheet& sheetOf(JSContextRef context, const SheetHandle& handle);
Sheet& sheetOf(JSContextRef context, const RangeHandle& handle);

template <typename Handle>
void finalizeHandle(JSObjectRef object) {
  delete static_cast<Handle*>(JSObjectGetPrivate(object));
}

}  // namespace sx
