#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/workbook.h"

namespace sx {

// What one engine run edits: at most one document at a time. Every script object reaches the
// workbook through here, so a closed or replaced document is never touched through an old
// handle.
class Session {
 public:
  explicit Session(std::vector<std::u16string> fontNames = {});

  bool hasDocument() const { return workbook_ != nullptr; }
  // Throws when no document is open (never opened, or closed).
  Workbook& workbook() const;
  // "XLSX" (a workbook of any number of sheets) or "CSV" (one sheet of data).
  const std::u16string& documentType() const { return documentType_; }
  // Each document gets a new generation; handles carry the one they were made in.
  uint64_t generation() const { return generation_; }

  void openDocument(std::unique_ptr<Workbook> workbook, std::u16string documentType);
  void closeDocument();

  // The sheet a handle points at; throws when its document is gone.
  Sheet& sheet(uint64_t generation, uint32_t sheetId) const;

  // A font family known to the fonts list in the list's own spelling; any other name as given.
  std::u16string canonicalFontName(std::u16string_view name) const;

 private:
  std::unique_ptr<Workbook> workbook_;
  std::u16string documentType_;
  uint64_t generation_ = 0;
  bool closed_ = false;
  std::vector<std::u16string> fontNames_;
};

}  // namespace sx
