#include "app/result_output.h"

#include <stdexcept>
#include <system_error>

#include "engine/process_id.h"
#include "text/text_file.h"

namespace zq {

namespace {

constexpr std::u16string_view kEmptyResults = u"{}";

std::u16string quotedField(std::u16string_view text) {
  std::u16string field;
  for (std::size_t index = 1; index < text.size(); ++index) {
    if (text[index] != u'"') {
      field += text[index];
    } else if (index + 1 < text.size() && text[index + 1] == u'"') {
      field += u'"';
      ++index;
    } else {
      break;
    }
  }
  return field;
}

}  // namespace

std::u16string extractResultJson(std::u16string_view csvText) {
  if (!csvText.empty() && csvText.front() == u'\uFEFF') {
    csvText.remove_prefix(1);
  }
  while (!csvText.empty() && (csvText.back() == u'\r' || csvText.back() == u'\n')) {
    csvText.remove_suffix(1);
  }
  if (csvText.empty()) {
    return std::u16string(kEmptyResults);
  }
  if (csvText.front() == u'"') {
    std::u16string field = quotedField(csvText);
    return field.empty() ? std::u16string(kEmptyResults) : field;
  }
  return std::u16string(csvText.substr(0, csvText.find(u',')));
}

void writeResultOutput(const std::filesystem::path& resultsCsv,
                       const std::filesystem::path& resultOutput) {
  if (!std::filesystem::exists(resultsCsv)) {
    throw std::runtime_error("Result CSV file was not created");
  }
  const std::u16string json = extractResultJson(readUtf8File(resultsCsv));
  // Written beside the target and renamed into place: a full disk leaves an older file whole.
  const std::filesystem::path staging =
      resultOutput.parent_path() /
      (u"zq_scriptorix_result_" + currentProcessIdText() + u".tmp");
  try {
    writeUtf8File(staging, json);
    std::filesystem::rename(staging, resultOutput);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(staging, ignored);
    throw;
  }
}

}  // namespace zq
