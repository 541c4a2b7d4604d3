#include "engine/engine_command_line.h"

namespace zq {

std::u16string engineCommandLine(const std::filesystem::path& engine,
                                 const std::filesystem::path& script) {
  return u"\"" + engine.u16string() + u"\" \"" + script.u16string() + u"\"";
}

}  // namespace zq
