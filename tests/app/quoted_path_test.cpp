#include "app/quoted_path.h"

#include <gtest/gtest.h>

namespace zq {
namespace {

TEST(QuotedPathText, EscapesQuotesAndBackslashesOnly) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u"\"\""},
      {u"book.xlsx", u"\"book.xlsx\""},
      {u"C:\\out\\a.xlsx", u"\"C:\\\\out\\\\a.xlsx\""},
      {u"a \"b\".xlsx", u"\"a \\\"b\\\".xlsx\""},
      {u"\\\\server\\\"", u"\"\\\\\\\\server\\\\\\\"\""},
      {u"/tmp/t\u00e9 's'/\u041a.xlsx", u"\"/tmp/t\u00e9 's'/\u041a.xlsx\""},
  };
  for (const auto& [text, quoted] : cases) {
    EXPECT_EQ(quotedPathText(text), quoted);
  }
}

}  // namespace
}  // namespace zq
