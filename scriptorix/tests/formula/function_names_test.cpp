#include "formula/function_names.h"

#include <gtest/gtest.h>

namespace sx::formula {
namespace {

TEST(FunctionPrefixes, NewerFunctionsAreWrittenWithTheirPrefix) {
  EXPECT_EQ(withFunctionPrefixes(u"IFS(A1>1,\"a\",TRUE,\"b\")"),
            u"_xlfn.IFS(A1>1,\"a\",TRUE,\"b\")");
  EXPECT_EQ(withFunctionPrefixes(u"SUM(xlookup(1,A:A,B:B),stdev.s(C1:C9))+Days(A1,A2)"),
            u"SUM(_xlfn.xlookup(1,A:A,B:B),_xlfn.stdev.s(C1:C9))+_xlfn.Days(A1,A2)");
  EXPECT_EQ(withFunctionPrefixes(u"SORT(FILTER(A1:A9,B1:B9>0))"),
            u"_xlfn._xlws.SORT(_xlfn._xlws.FILTER(A1:A9,B1:B9>0))");
  // Older functions, texts, names and prefixes already there are left alone.
  EXPECT_EQ(withFunctionPrefixes(u"IF(A1,\"IFS(1)\",CONCATENATE(IFS_Table,1))"),
            u"IF(A1,\"IFS(1)\",CONCATENATE(IFS_Table,1))");
  EXPECT_EQ(withFunctionPrefixes(u"_xlfn.IFNA(A1,0)"), u"_xlfn.IFNA(A1,0)");
}

TEST(FunctionPrefixes, ReadingTakesOffOnlyThePrefixesWrittenBack) {
  EXPECT_EQ(withoutFunctionPrefixes(u"_xlfn.IFNA(_xlfn.XLOOKUP(1,A:A,B:B),0)"),
            u"IFNA(XLOOKUP(1,A:A,B:B),0)");
  EXPECT_EQ(withoutFunctionPrefixes(u"_xlfn._xlws.SORT(A1:A3)+_XLFN.CONCAT(\"_xlfn.IFS(\")"),
            u"SORT(A1:A3)+CONCAT(\"_xlfn.IFS(\")");
  // A function this build has never heard of keeps its prefix, so it is saved as it came.
  EXPECT_EQ(withoutFunctionPrefixes(u"_xlfn.FUTUREFUNC(1)"), u"_xlfn.FUTUREFUNC(1)");
  for (std::u16string_view formula : {u"_xlfn.STDEV.S(A1:A9)", u"_xlfn._xlws.FILTER(A1:A9,B1:B9)",
                                      u"SUM(A1)+_xlfn.TEXTJOIN(\",\",TRUE,A1:A3)"}) {
    EXPECT_EQ(withFunctionPrefixes(withoutFunctionPrefixes(formula)), formula);
  }
}

}  // namespace
}  // namespace sx::formula
