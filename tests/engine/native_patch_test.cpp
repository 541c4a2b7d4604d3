#include "engine/native_patch.h"

#include <gtest/gtest.h>

namespace zq {
namespace {

const std::u16string kOriginal =
    u"function NativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE";
const std::u16string kPatched =
    u"function NativeOpenFileData(t,i,n,e){e=e||{DstType:\"XLSX\"};window.NATIVE_DOCUMENT_TYPE";

struct PatchCase {
  const char* name;
  std::u16string input;
  std::u16string expected;
};

class NativePatchTest : public ::testing::TestWithParam<PatchCase> {};

TEST_P(NativePatchTest, PatchesOnlyTheFirstExactDefinition) {
  EXPECT_EQ(patchNativeOpenFileData(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NativePatchTest,
    ::testing::Values(
        PatchCase{"Absent", u"var x = 1;\nfunction other(){}", u"var x = 1;\nfunction other(){}"},
        PatchCase{"Empty", u"", u""},
        PatchCase{"Once", u"a;" + kOriginal + u"='x';}b", u"a;" + kPatched + u"='x';}b"},
        PatchCase{"Twice", kOriginal + u";" + kOriginal, kPatched + u";" + kOriginal},
        PatchCase{"OtherCase", u"function nativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE",
                  u"function nativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE"},
        PatchCase{"Spaced", u"function NativeOpenFileData(t, i, n, e){window.NATIVE_DOCUMENT_TYPE",
                  u"function NativeOpenFileData(t, i, n, e){window.NATIVE_DOCUMENT_TYPE"}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

}  // namespace
}  // namespace zq
