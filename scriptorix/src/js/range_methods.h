#pragma once

#include <vector>

#include "js/arguments.h"
#include "js/handles.h"

namespace sx {

// The Range class is one table of prototype methods, filled by the files that each cover one
// group (values, formats, structure, queries).
struct RangeTag {
  static constexpr const char* kName = "Range";
};

struct RangeTarget {
  Sheet& sheet;
  const RangeHandle& handle;
  const RangeRef& range() const { return handle.range; }
};

RangeTarget thisRange(const Call& call);

template <JSValueRef (*Body)(const Call&)>
constexpr JSStaticFunction rangeMethod(const char* name) {
  return staticMethod<RangeTag, Body>(name);
}

void addRangeValueMethods(std::vector<JSStaticFunction>& table);
void addRangeFormatMethods(std::vector<JSStaticFunction>& table);
void addRangeStructureMethods(std::vector<JSStaticFunction>& table);
void addRangeQueryMethods(std::vector<JSStaticFunction>& table);
void addRangeOutlineMethods(std::vector<JSStaticFunction>& table);
void addRangeNoteMethods(std::vector<JSStaticFunction>& table);

}  // namespace sx
