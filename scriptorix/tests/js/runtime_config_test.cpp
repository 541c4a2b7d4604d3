#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "js/runtime_config.h"

namespace sx {
namespace {

namespace fs = std::filesystem;

TEST(RuntimeConfig, HelperFormWithUnescapedPaths) {
  const auto config = parseRuntimeConfig(
      "<Settings>\n<file>C:/Temp/zq_scriptorix_cli_7/native_patched.js</file>\n"
      "<file>/opt/a & b/<x>/jquery_native.js</file>\n<allfonts>./AllFonts.js</allfonts>\n"
      "<file>/opt/rt/web-apps/vendor/xregexp/xregexp-all-min.js</file>\n"
      "<sdkjs>/opt/rt/sdkjs</sdkjs>\n</Settings>\n",
      "/staged");
  ASSERT_EQ(config.scripts.size(), 3u);
  EXPECT_EQ(config.scripts[0],
            fs::path("/staged") / "C:/Temp/zq_scriptorix_cli_7/native_patched.js");
  EXPECT_EQ(config.scripts[1], fs::path("/opt/a & b/<x>/jquery_native.js"));
  EXPECT_EQ(config.scripts[2], fs::path("/opt/rt/web-apps/vendor/xregexp/xregexp-all-min.js"));
  EXPECT_EQ(config.fontsList, fs::path("/staged") / "./AllFonts.js");
  EXPECT_EQ(config.libraryDirectory, fs::path("/opt/rt/sdkjs"));
}

TEST(RuntimeConfig, ToleratesDeclarationCommentsAndOtherElements) {
  const auto config = parseRuntimeConfig(
      "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- runtime -->\n<Settings>\n  <file> a.js </file>\n"
      "  <!-- <file>ignored.js</file> -->\n  <other>x</other>\n  <sdkjs>lib</sdkjs>\n</Settings>",
      "/rt");
  ASSERT_EQ(config.scripts.size(), 1u);
  EXPECT_EQ(config.scripts[0], fs::path("/rt/a.js"));
  EXPECT_FALSE(config.fontsList.has_value());
  EXPECT_EQ(config.libraryDirectory, fs::path("/rt/lib"));
}

TEST(RuntimeConfig, MalformedTextIsAClearError) {
  const char* cases[] = {
      "",
      "<Config><file>a.js</file><sdkjs>s</sdkjs></Config>",
      "<Settings><file>a.js</file><sdkjs>s</sdkjs>",
      "<Settings><file>a.js<sdkjs>s</sdkjs></Settings>",
      "<Settings><sdkjs>s</sdkjs></Settings>",
      "<Settings><file>a.js</file></Settings>",
      "<Settings><file>  </file><sdkjs>s</sdkjs></Settings>",
      "<Settings><file>a.js</file><sdkjs>s</sdkjs><sdkjs>t</sdkjs></Settings>",
      "<Settings><file>a.js</file><sdkjs>s</sdkjs></Settings>trailing",
      "<!-- open <Settings><file>a.js</file><sdkjs>s</sdkjs></Settings>",
  };
  for (const char* text : cases) {
    try {
      parseRuntimeConfig(text, "/rt");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const std::runtime_error& error) {
      EXPECT_NE(std::string(error.what()).find("DoctRenderer.config is malformed"),
                std::string::npos)
          << error.what();
    }
  }
}

TEST(RuntimeConfig, LookupPrefersTheWorkingDirectory) {
  const fs::path root = fs::temp_directory_path() / ("sx_js_config_" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "work");
  fs::create_directories(root / "exe");
  EXPECT_FALSE(findRuntimeConfig(root / "work", root / "exe").has_value());
  std::ofstream(root / "exe" / "DoctRenderer.config") << "x";
  EXPECT_EQ(findRuntimeConfig(root / "work", root / "exe"), root / "exe" / "DoctRenderer.config");
  std::ofstream(root / "work" / "DoctRenderer.config") << "x";
  EXPECT_EQ(findRuntimeConfig(root / "work", root / "exe"), root / "work" / "DoctRenderer.config");
  std::ofstream(root / "exe" / "DoctRenderer.config")
      << "<Settings><file>a.js</file><sdkjs>missing</sdkjs></Settings>";
  EXPECT_THROW(readRuntimeConfig(root / "exe" / "DoctRenderer.config"), std::runtime_error);
  EXPECT_THROW(readRuntimeConfig(root / "none" / "DoctRenderer.config"), std::runtime_error);
  fs::remove_all(root);
}

}  // namespace
}  // namespace sx
