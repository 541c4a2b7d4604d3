#include "engine/native_patch.h"

#include <string_view>

namespace zq {

std::u16string patchNativeOpenFileData(std::u16string text) {
  constexpr std::u16string_view original =
      u"function NativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE";
  constexpr std::u16string_view patched =
      u"function NativeOpenFileData(t,i,n,e){e=e||{DstType:\"XLSX\"};window.NATIVE_DOCUMENT_TYPE";
  const std::size_t position = text.find(original);
  if (position != std::u16string::npos) {
    text.replace(position, original.size(), patched);
  }
  return text;
}

}  // namespace zq
