#pragma once

#include <vector>

#include "js/arguments.h"
#include "js/handles.h"
#include "model/sheet.h"

namespace sx {

// The Worksheet class is one table of prototype methods, filled by the files that each cover
// one group (names and ranges, settings).
struct WorksheetTag {
  static constexpr const char* kName = "Worksheet";
};

Sheet& thisSheet(const Call& call);

template <JSValueRef (*Body)(const Call&)>
constexpr JSStaticFunction worksheetMethod(const char* name) {
  return staticMethod<WorksheetTag, Body>(name);
}

void addWorksheetSettingsMethods(std::vector<JSStaticFunction>& table);
void addWorksheetPageSetupMethods(std::vector<JSStaticFunction>& table);
void addWorksheetAreaMethods(std::vector<JSStaticFunction>& table);
void addWorksheetDrawingMethods(std::vector<JSStaticFunction>& table);
void addWorksheetTableMethods(std::vector<JSStaticFunction>& table);

// The chart a call describes: its type in argument `typeIndex`, its options object in
// `optionsIndex`; references without a sheet mean `sheet`.
SheetChart chartFromArguments(const Call& call, size_t typeIndex, size_t optionsIndex,
                              const Sheet& sheet);

}  // namespace sx
