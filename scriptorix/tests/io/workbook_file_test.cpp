#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "io/atomic_file.h"
#include "io/file_format.h"
#include "io/workbook_file.h"
#include "package_reader.h"

namespace sx {
namespace {

namespace fs = std::filesystem;

RangeRef at(const char16_t* text) { return parseRangeRef(text); }

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// An OLE compound file whose directory (two sectors, so the chain is followed) lists `streams`.
std::string compoundFile(const std::vector<std::u16string>& streams) {
  std::string bytes(2048, '\0');
  auto put32 = [&](size_t at, uint32_t value) {
    for (size_t k = 0; k < 4; ++k) bytes[at + k] = static_cast<char>(value >> (8 * k));
  };
  bytes.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  bytes[0x1E] = 9;  // 512-byte sectors
  put32(0x30, 1);   // the directory starts in sector 1
  put32(0x4C, 0);   // the allocation table is sector 0
  put32(512, 0xFFFFFFFD);
  put32(512 + 4, 2);  // sector 1 continues in sector 2
  put32(512 + 8, 0xFFFFFFFE);
  std::vector<std::u16string> names = {u"Root Entry"};
  names.insert(names.end(), streams.begin(), streams.end());
  for (size_t i = 0; i < names.size() && i < 8; ++i) {
    const size_t entry = 1024 + i * 128;
    for (size_t k = 0; k < names[i].size(); ++k) {
      bytes[entry + 2 * k] = static_cast<char>(names[i][k] & 0xFF);
      bytes[entry + 2 * k + 1] = static_cast<char>(names[i][k] >> 8);
    }
    bytes[entry + 0x40] = static_cast<char>(2 * names[i].size() + 2);
  }
  return bytes;
}

class WorkbookFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sx_io_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
  }
  void TearDown() override {
    ::chmod(folder.c_str(), 0700);
    fs::remove_all(folder);
  }
  size_t entriesInFolder() const {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
  }
  fs::path folder;
};

TEST(FileFormats, ParseTheSaveFormats) {
  EXPECT_EQ(parseFileFormat(u"xlsx"), FileFormat::Xlsx);
  EXPECT_EQ(parseFileFormat(u"XLSM"), FileFormat::Xlsm);
  EXPECT_EQ(parseFileFormat(u"xltx"), FileFormat::Xltx);
  EXPECT_EQ(parseFileFormat(u"csv"), FileFormat::Csv);
  for (const char16_t* bad : {u"xls", u"pdf", u"", u"xlsx "}) {
    EXPECT_THROW(parseFileFormat(bad), std::invalid_argument);
  }
}

TEST_F(WorkbookFiles, AtomicSaveReplacesTheFileAndLeavesNoTemporary) {
  const fs::path target = folder / "out.txt";
  writeFile(target, "old");
  writeFileAtomically(target, "new content");
  EXPECT_EQ(readFile(target), "new content");
  EXPECT_EQ(entriesInFolder(), 1u);
}

TEST_F(WorkbookFiles, AFailedSaveLeavesTheOldFileAndNoTemporary) {
  if (::geteuid() == 0) {
    // root writes through folder permissions; a folder in the way still makes rename fail
    const fs::path blocked = folder / "taken";
    fs::create_directory(blocked);
    writeFile(blocked / "inside", "keep");
    EXPECT_THROW(writeFileAtomically(blocked, "data"), std::runtime_error);
    EXPECT_TRUE(fs::is_directory(blocked));
    EXPECT_EQ(readFile(blocked / "inside"), "keep");
    EXPECT_EQ(entriesInFolder(), 1u);
  }
  const fs::path target = folder / "book.csv";
  writeFile(target, "precious");
  ::chmod(folder.c_str(), 0500);
  if (::geteuid() != 0) {
    EXPECT_THROW(writeFileAtomically(target, "data"), std::runtime_error);
    EXPECT_EQ(readFile(target), "precious");
  }
  ::chmod(folder.c_str(), 0700);
  EXPECT_THROW(writeFileAtomically(folder / "missing" / "x.csv", "data"), std::runtime_error);
  EXPECT_EQ(readFile(target), "precious");
}

TEST_F(WorkbookFiles, AStreamedSaveThatFailsHalfwayLeavesTheOldFile) {
  const fs::path target = folder / "out.csv";
  writeFile(target, "old");
  EXPECT_THROW(writeFileAtomically(target,
                                   [](const ByteSink& write) {
                                     write("first half,");
                                     throw std::runtime_error("the producer failed");
                                   }),
               std::runtime_error);
  EXPECT_EQ(readFile(target), "old");
  EXPECT_EQ(entriesInFolder(), 1u);
  writeFileAtomically(target, [](const ByteSink& write) {
    write("a,");
    write("b\n");
  });
  EXPECT_EQ(readFile(target), "a,b\n");
}

TEST_F(WorkbookFiles, ASymlinkAtTheDestinationIsReplacedNotFollowed) {
  const fs::path victim = folder / "victim.txt";
  writeFile(victim, "untouched");
  const fs::path link = folder / "link.xlsx";
  fs::create_symlink(victim, link);
  writeFileAtomically(link, "saved");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(readFile(link), "saved");
  EXPECT_EQ(readFile(victim), "untouched");
}

TEST_F(WorkbookFiles, SaveCsvWritesTheActiveSheet) {
  Workbook book;
  book.sheet(0).setText(at(u"A1"), u"first");
  book.addSheet(u"__results").setText(at(u"A1"), u"{\"a\":1,\"b\":\"x\"}");
  const fs::path target = folder / "results.csv";
  saveWorkbook(book, FileFormat::Csv, target);
  EXPECT_EQ(readFile(target), "\"{\"\"a\"\":1,\"\"b\"\":\"\"x\"\"}\"\n");
}

TEST_F(WorkbookFiles, SaveOverTheOpenedInputAndReadCsvByContent) {
  const fs::path source = folder / "data.xlsx";  // the extension does not decide
  writeFile(source, "name,amount\nTea,3.5\n");
  auto book = openWorkbook(source);
  ASSERT_EQ(book->sheetCount(), 1u);
  Sheet& sheet = book->activeSheet();
  EXPECT_EQ(sheet.name(), u"data");
  EXPECT_EQ(sheet.value(1, 1), CellValue::fromNumber(3.5));
  sheet.setNumber(at(u"B2"), 4);
  saveWorkbook(*book, FileFormat::Csv, source);
  EXPECT_EQ(readFile(source), "name,amount\nTea,4\n");
  saveWorkbook(*book, FileFormat::Xlsx, source);
  const auto zip = testing::unpackZip(readFile(source));
  EXPECT_TRUE(zip.entries.contains("xl/worksheets/sheet1.xml"));
  EXPECT_EQ(entriesInFolder(), 1u);
}

TEST_F(WorkbookFiles, OpeningFailsClearly) {
  const auto message = [](const fs::path& path) {
    try {
      openWorkbook(path);
    } catch (const std::runtime_error& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  EXPECT_NE(message(folder / "absent.csv").find("does not exist"), std::string::npos);
  EXPECT_NE(message(folder).find("folder"), std::string::npos);
  writeFile(folder / "book.xlsx", std::string("PK\x03\x04", 4) + "rest");
  EXPECT_NE(message(folder / "book.xlsx").find("not a readable workbook package"),
            std::string::npos);
  writeFile(folder / "bad.csv", "a,\"unclosed\n");
  EXPECT_NE(message(folder / "bad.csv").find("never closed"), std::string::npos);
  writeFile(folder / "huge.csv", "");
  fs::resize_file(folder / "huge.csv", (std::uintmax_t{1} << 30) + 1);  // sparse: no disk used
  EXPECT_NE(message(folder / "huge.csv").find("larger than"), std::string::npos);
  // Never read, and never waited on: a device without end, a FIFO without a writer.
  EXPECT_NE(message("/dev/zero").find("not a regular file"), std::string::npos);
  ASSERT_EQ(::mkfifo((folder / "pipe.csv").c_str(), 0600), 0);
  EXPECT_NE(message(folder / "pipe.csv").find("not a regular file"), std::string::npos);
  fs::create_symlink("/dev/zero", folder / "zero.xlsx");
  EXPECT_NE(message(folder / "zero.xlsx").find("not a regular file"), std::string::npos);
  writeFile(folder / "odd[name]*.csv", "1\n");
  EXPECT_EQ(openWorkbook(folder / "odd[name]*.csv")->sheet(0).name(), u"odd_name__");
}

// Files that are not workbooks and not text are refused with what they are, never read as CSV.
TEST_F(WorkbookFiles, NonWorkbookInputIsNamedNotReadAsCsv) {
  const auto message = [](const fs::path& path) {
    try {
      openWorkbook(path);
    } catch (const std::runtime_error& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      // The encryption streams sit in the directory's second sector.
      {compoundFile({u"\x06"
                     u"DataSpaces",
                     u"x", u"y", u"z", u"EncryptionInfo", u"EncryptedPackage"}),
       "encrypted or password-protected workbook"},
      {compoundFile({u"Workbook", u"\x05SummaryInformation"}),
       "Excel 97-2003 .xls workbooks are not supported"},
      {compoundFile({u"WordDocument"}), "OLE compound file"},
      {"", "the file is empty"},
      {std::string("\x05"
                   "alice\0\0\0\x01\x02",
                   11),
       "lock file"},
      {std::string("a,b\n\0\0", 6), "neither a workbook package nor UTF-8 text"},
      {"caf\xE9,1\n", "neither a workbook package nor UTF-8 text"},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const fs::path path = folder / ((i == 4 ? "~$book" : "input" + std::to_string(i)) + ".xlsx");
    writeFile(path, cases[i].first);
    EXPECT_NE(message(path).find(cases[i].second), std::string::npos) << i << ": " << message(path);
  }
  // Text stays CSV: tabs, form feeds and UTF-8 letters; an empty .csv is an empty sheet.
  writeFile(folder / "text.csv", "caf\xC3\xA9,\t1\f\n");
  EXPECT_EQ(openWorkbook(folder / "text.csv")->sheet(0).value(0, 0),
            CellValue::fromText(u"caf\u00E9"));
  writeFile(folder / "empty.csv", "");
  EXPECT_TRUE(openWorkbook(folder / "empty.csv")->sheet(0).value(0, 0).isEmpty());
}

TEST_F(WorkbookFiles, OpenpyxlReadsTheSavedWorkbook) {
  // The system interpreter carries the Debian openpyxl package; a python3 first on PATH may not.
  std::string python;
  for (const char* candidate : {"/usr/bin/python3", "python3"}) {
    const std::string probe = std::string(candidate) + " -c 'import openpyxl' >/dev/null 2>&1";
    if (std::system(probe.c_str()) == 0) {
      python = candidate;
      break;
    }
  }
  if (python.empty()) GTEST_SKIP() << "no python3 with openpyxl is installed";
  Workbook book;
  Sheet& sheet = book.sheet(0);
  sheet.setNumber(at(u"A1"), 42.25);
  sheet.setText(at(u"B1"), u"Grüße, \"quoted\"");
  sheet.setBoolean(at(u"C1"), true);
  sheet.setText(at(u"A2"), u"=A1*2");
  sheet.setBold(at(u"A1"), true);
  sheet.setFillColor(at(u"B1"), Color{255, 128, 0});
  sheet.merge(at(u"A4:C4"), false);
  sheet.setColumnWidth(at(u"B:B"), 30);
  Sheet& other = book.addSheet(u"My Data");
  other.setNumber(at(u"A1:B2"), 7);
  book.addDefinedName(u"Block", u"'My Data'!$A$1:$B$2");
  const fs::path target = folder / "check.xlsx";
  saveWorkbook(book, FileFormat::Xlsx, target);
  const std::string script =
      "import openpyxl,sys\n"
      "wb=openpyxl.load_workbook(sys.argv[1])\n"
      "s=wb['Sheet1']\n"
      "assert wb.sheetnames==['Sheet1','My Data'], wb.sheetnames\n"
      "assert wb.active.title=='My Data'\n"
      "assert s['A1'].value==42.25 and s['A1'].font.b\n"
      "assert s['B1'].value=='Gr\\u00fc\\u00dfe, \"quoted\"', s['B1'].value\n"
      "assert s['B1'].fill.fgColor.rgb=='FFFF8000'\n"
      "assert s['C1'].value is True\n"
      "assert s['A2'].value=='=A1*2', s['A2'].value\n"
      "assert [str(m) for m in s.merged_cells.ranges]==['A4:C4']\n"
      "assert s.column_dimensions['B'].width==30\n"
      "assert wb['My Data']['B2'].value==7\n"
      "assert wb.defined_names['Block'].attr_text==\"'My Data'!$A$1:$B$2\"\n";
  writeFile(folder / "check.py", script);
  const std::string command = python + " " + (folder / "check.py").string() + " " + target.string();
  EXPECT_EQ(std::system(command.c_str()), 0);
}

}  // namespace
}  // namespace sx
