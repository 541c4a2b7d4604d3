#include "app/result_output.h"

#include <random>
#include <stdexcept>
#include <system_error>

#include "app/exclusive_file.h"
#include "engine/process_id.h"
#include "text/text_file.h"
#include "text/utf8.h"

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

void writeStagingFile(const std::filesystem::path& staging, std::u16string_view json) {
  switch (writeExclusiveFile(staging, encodeUtf8(json), NewFileAccess::Default)) {
    case NewFileOutcome::Written:
      return;
    case NewFileOutcome::NotCreated:
      throw std::runtime_error("Cannot open output file");
    case NewFileOutcome::NotWritten:
    case NewFileOutcome::NoSpace:
      throw std::runtime_error("Cannot write output file");
  }
}

}  // namespace

std::u16string resultStagingName() {
  std::random_device source;
  const unsigned long long random = (static_cast<unsigned long long>(source()) << 32U) ^
                                    static_cast<unsigned long long>(source());
  static constexpr char16_t kHexDigits[] = u"0123456789abcdef";
  std::u16string hex(16, u'0');
  for (std::size_t index = 0; index < hex.size(); ++index) {
    hex[index] = kHexDigits[(random >> (60U - 4U * index)) & 0xFU];
  }
  return u"zq_scriptorix_result_" + currentProcessIdText() + u"_" + hex + u".tmp";
}

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
  // The name is not guessable and the file new, so nothing planted there can redirect the write.
  const std::filesystem::path directory = resultOutput.parent_path();
  if (!directory.empty()) {
    std::filesystem::create_directories(directory);
  }
  const std::filesystem::path staging = directory / resultStagingName();
  writeStagingFile(staging, json);
  try {
    std::filesystem::rename(staging, resultOutput);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(staging, ignored);
    throw;
  }
}

}  // namespace zq
