// Prints the value of every formula of a corpus file, one line each ("n:3", "t:text", "b:TRUE",
// "e:#N/A"), calculated over the cells of a data file; run_crosscheck.py compares the lines with
// LibreOffice's results. Data file lines (tab-separated): "sheet NAME", "cell SHEET ROW COLUMN
// KIND VALUE" (KIND n, t, b or e), "name NAME REFERENCE". Formulas live on the second sheet, the
// i-th in row i of column A.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "formula/calculator.h"
#include "memory_workbook.h"

namespace {

using sx::formula::Scalar;
using sx::formula::testing_support::MemoryWorkbook;

std::u16string widen(const std::string& text) {
  std::u16string out;
  for (unsigned char c : text) {
    if (c >= 0x80) throw std::runtime_error("only ASCII text is supported: " + text);
    out.push_back(char16_t(c));
  }
  return out;
}

std::string narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x80 ? char(c) : '?');
  return out;
}

std::vector<std::string> splitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, '\t')) fields.push_back(field);
  return fields;
}

Scalar parseCell(const std::string& kind, const std::string& value) {
  if (kind == "n") return Scalar::fromNumber(std::stod(value));
  if (kind == "t") return Scalar::fromText(widen(value));
  if (kind == "b") return Scalar::fromBoolean(value == "TRUE");
  if (kind == "e") {
    if (auto code = sx::formula::errorFromText(widen(value))) return Scalar::fromError(*code);
  }
  throw std::runtime_error("bad cell: " + kind + " " + value);
}

MemoryWorkbook readData(const char* path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error(std::string("cannot read ") + path);
  std::vector<std::u16string> sheets;
  std::vector<std::vector<std::string>> cells, names;
  std::string line;
  while (std::getline(in, line)) {
    auto fields = splitTabs(line);
    if (fields.empty()) continue;
    if (fields[0] == "sheet" && fields.size() == 2)
      sheets.push_back(widen(fields[1]));
    else if (fields[0] == "cell" && fields.size() == 6)
      cells.push_back(fields);
    else if (fields[0] == "name" && fields.size() == 3)
      names.push_back(fields);
    else
      throw std::runtime_error("bad data line: " + line);
  }
  MemoryWorkbook book(sheets);
  for (const auto& c : cells)
    book.set(std::stoi(c[1]), std::stoi(c[2]), std::stoi(c[3]), parseCell(c[4], c[5]));
  for (const auto& n : names) book.defineName(widen(n[1]), widen(n[2]));
  auto seconds =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  book.setNow(25569 + seconds / 86400);  // 1970-01-01 is serial 25569
  return book;
}

std::string describe(const Scalar& value) {
  char buffer[64];
  switch (value.kind) {
    case Scalar::Kind::Number:
      std::snprintf(buffer, sizeof buffer, "n:%.17g", value.number);
      return buffer;
    case Scalar::Kind::Text:
      return "t:" + narrow(value.text);
    case Scalar::Kind::Boolean:
      return value.boolean ? "b:TRUE" : "b:FALSE";
    case Scalar::Kind::Error:
      return "e:" + narrow(std::u16string(sx::formula::errorText(value.error)));
    case Scalar::Kind::Empty:
      return "n:0";
  }
  return "?";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: formula_crosscheck DATA_FILE FORMULA_FILE\n";
    return 2;
  }
  try {
    MemoryWorkbook book = readData(argv[1]);
    std::ifstream in(argv[2]);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[2]);
    std::vector<std::string> formulas;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) formulas.push_back(line);
    }
    sx::formula::Calculator calculator(book);
    for (std::size_t i = 0; i < formulas.size(); ++i) {
      book.touch(1, int32_t(i), 0);
      calculator.setFormula({1, int32_t(i), 0}, widen(formulas[i]));
    }
    for (std::size_t i = 0; i < formulas.size(); ++i) {
      std::cout << describe(calculator.value({1, int32_t(i), 0})) << "\n";
    }
  } catch (const std::exception& error) {
    std::cerr << "formula_crosscheck: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
