#include "script/path_resolution.h"

#include <gtest/gtest.h>

#include "script_test_support.h"

namespace zq {
namespace {

TEST(ResolveAgainst, JoinsRelativePathsOnly) {
  struct Case {
    std::u16string path;
    std::filesystem::path workingDirectory;
    std::u16string expected;
  };
#ifdef _WIN32
  const Case cases[] = {
      {u"a.xlsx", L"C:\\w", u"C:\\w\\a.xlsx"},
      {u"a.xlsx", L"C:\\w\\", u"C:\\w\\a.xlsx"},
      {u"C:\\abs\\a.xlsx", L"C:\\w", u"C:\\abs\\a.xlsx"},
      {u"C:/abs/a.xlsx", L"C:\\w", u"C:/abs/a.xlsx"},
      {u"\\\\server\\share\\a.xlsx", L"C:\\w", u"\\\\server\\share\\a.xlsx"},
      // Rooted but without a drive: the working directory's drive.
      {u"\\abs\\a.xlsx", L"C:\\w", u"C:\\abs\\a.xlsx"},
      {u"", L"C:\\w", u""},
      {u"a.xlsx", L"", u"a.xlsx"},
      {u"Лист.xlsx", L"C:\\w", u"C:\\w\\Лист.xlsx"},
      {std::u16string(u"a\xD800"
                      u"b.xlsx"),
       L"C:\\w",
       std::u16string(u"C:\\w\\a\xD800"
                      u"b.xlsx")},
  };
#else
  const Case cases[] = {
      {u"a.xlsx", "/w", u"/w/a.xlsx"},
      {u"a.xlsx", "/w/", u"/w/a.xlsx"},
      {u"a.xlsx", "/", u"/a.xlsx"},
      {u"./x/../a.xlsx", "/w", u"/w/./x/../a.xlsx"},
      {u"/abs/a.xlsx", "/w", u"/abs/a.xlsx"},
      {u"", "/w", u""},
      {u"a.xlsx", "", u"a.xlsx"},
      {u"C:\\out\\a.xlsx", "", u"C:\\out\\a.xlsx"},
      {u"Лист.xlsx", "/w", u"/w/Лист.xlsx"},
      // Units that the platform's path conversion rejects are kept, not replaced.
      {std::u16string(u"a\xD800"
                      u"b.xlsx"),
       "/w",
       std::u16string(u"/w/a\xD800"
                      u"b.xlsx")},
      {std::u16string(u"\xDC00\xD800"), "/w", std::u16string(u"/w/\xDC00\xD800")},
      {std::u16string(u"/\xD800"), "/w", std::u16string(u"/\xD800")},
      {std::u16string(u"a\0b", 3), "/w", std::u16string(u"/w/a\0b", 6)},
  };
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(test::utf8(c.path));
    EXPECT_EQ(resolveAgainst(c.path, c.workingDirectory), c.expected);
  }
}

}  // namespace
}  // namespace zq
