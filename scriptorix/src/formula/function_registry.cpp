#include <string>
#include <unordered_map>

#include "formula/function_library.h"

namespace sx::formula {

const FunctionSpec* findFunction(std::u16string_view upperName) {
  static const auto table = [] {
    std::unordered_map<std::u16string_view, const FunctionSpec*> byName;
    for (auto group : {mathFunctions(),         statisticsFunctions(),   logicFunctions(),
                       textFunctions(),         lookupFunctions(),       dateFunctions(),
                       informationFunctions(),  trigonometryFunctions(), dispersionFunctions(),
                       referenceFunctions(),    financialFunctions(),    cashFlowFunctions(),
                       depreciationFunctions(), calendarFunctions(),     workdayFunctions(),
                       textExtraFunctions(),    addressFunctions(),      arrayShapeFunctions(),
                       engineeringFunctions(),  mathExtraFunctions(),    matrixFunctions(),
                       subtotalFunctions(),     rankingFunctions(),      descriptiveFunctions(),
                       regressionFunctions(),   distributionFunctions(), convertFunctions(),
                       leastSquaresFunctions()}) {
      for (const auto& entry : group) byName.emplace(entry.name, &entry);
    }
    return byName;
  }();
  auto found = table.find(upperName);
  return found == table.end() ? nullptr : found->second;
}

}  // namespace sx::formula
