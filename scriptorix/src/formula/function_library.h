#pragma once

#include <span>

#include "formula/evaluator.h"

namespace sx::formula {

// Each group of functions lives in its own file and lists itself here.
std::span<const FunctionSpec> mathFunctions();
std::span<const FunctionSpec> statisticsFunctions();
std::span<const FunctionSpec> logicFunctions();
std::span<const FunctionSpec> textFunctions();
std::span<const FunctionSpec> lookupFunctions();
std::span<const FunctionSpec> dateFunctions();
std::span<const FunctionSpec> informationFunctions();
std::span<const FunctionSpec> trigonometryFunctions();
std::span<const FunctionSpec> dispersionFunctions();
std::span<const FunctionSpec> referenceFunctions();
std::span<const FunctionSpec> financialFunctions();
std::span<const FunctionSpec> cashFlowFunctions();
std::span<const FunctionSpec> depreciationFunctions();
std::span<const FunctionSpec> calendarFunctions();
std::span<const FunctionSpec> workdayFunctions();
std::span<const FunctionSpec> textExtraFunctions();
std::span<const FunctionSpec> addressFunctions();
std::span<const FunctionSpec> arrayShapeFunctions();
std::span<const FunctionSpec> engineeringFunctions();
std::span<const FunctionSpec> mathExtraFunctions();
std::span<const FunctionSpec> matrixFunctions();
std::span<const FunctionSpec> subtotalFunctions();
std::span<const FunctionSpec> rankingFunctions();
std::span<const FunctionSpec> descriptiveFunctions();
std::span<const FunctionSpec> regressionFunctions();
std::span<const FunctionSpec> distributionFunctions();
std::span<const FunctionSpec> convertFunctions();
std::span<const FunctionSpec> leastSquaresFunctions();

}  // namespace sx::formula
