#include "js/session.h"

#include <stdexcept>

namespace sx {

namespace {

char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

bool equalsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (asciiLower(a[i]) != asciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace

Session::Session(std::vector<std::u16string> fontNames) : fontNames_(std::move(fontNames)) {}

Workbook& Session::workbook() const {
  if (workbook_ == nullptr) {
    throw std::runtime_error(closed_ ? "The document was closed by builder.CloseFile"
                                     : "No document is open: call builder.CreateFile or "
                                       "builder.OpenFile first");
  }
  return *workbook_;
}

void Session::openDocument(std::unique_ptr<Workbook> workbook, std::u16string documentType) {
  if (workbook_ != nullptr) {
    throw std::runtime_error("A document is already open: call builder.CloseFile first");
  }
  workbook_ = std::move(workbook);
  documentType_ = std::move(documentType);
  ++generation_;
  closed_ = false;
}

void Session::closeDocument() {
  if (workbook_ == nullptr) workbook();  // throws the fitting message
  workbook_.reset();
  documentType_.clear();
  closed_ = true;
}

Sheet& Session::sheet(uint64_t generation, uint32_t sheetId) const {
  Workbook& book = workbook();
  if (generation != generation_) {
    throw std::runtime_error("This object belongs to a document that was closed");
  }
  Sheet* found = book.sheetById(sheetId);
  if (found == nullptr) throw std::runtime_error("This object belongs to a sheet that was deleted");
  return *found;
}

std::u16string Session::canonicalFontName(std::u16string_view name) const {
  for (const auto& known : fontNames_) {
    if (equalsIgnoringAsciiCase(known, name)) return known;
  }
  return std::u16string(name);
}

}  // namespace sx
