#include <string>

#include "core/text_case.h"
#include "core/utf.h"
#include "io/kept_tables.h"
#include "js/js_text.h"
#include "js/option_object.h"
#include "js/sheet_objects_guard.h"
#include "js/worksheet_methods.h"
#include "model/workbook.h"

namespace sx {

namespace {

constexpr size_t kMaxStyleName = 255;

void refuseTakenName(const Call& call, const Workbook& book, std::u16string_view name) {
  bool taken = book.findDefinedName(name) != nullptr;
  if (const auto* origin = dynamic_cast<const XlsxOrigin*>(book.origin())) {
    for (const std::u16string& kept : keptTables(*origin).names)
      taken = taken || equalsIgnoringCase(kept, name);
  }
  for (size_t i = 0; i < book.sheetCount() && !taken; ++i) {
    for (const SheetTable& table : book.sheet(i).objects().tables) {
      taken = taken || equalsIgnoringCase(table.name, name);
    }
  }
  if (taken) {
    throw ArgumentError(call.args.methodName() + ": the name \"" + toUtf8(name) +
                        "\" is already used by a table or defined name");
  }
}

void refuseOverlaps(const Call& call, const Sheet& sheet, const RangeRef& range) {
  for (const SheetTable& table : sheet.objects().tables) {
    if (table.range.intersects(range)) {
      throw ArgumentError(call.args.methodName() + ": the range overlaps table " +
                          toUtf8(table.name));
    }
  }
  for (const RangeRef& merge : sheet.merges()) {
    if (merge.intersects(range)) {
      throw ArgumentError(call.args.methodName() + ": a table cannot hold merged cells (" +
                          toUtf8(formatRangeRef(merge, false)) + ")");
    }
  }
}

// {Amount: 'sum', Item: {label: 'Total'}}: a function or a label per column, by name.
void readTotals(const Call& call, OptionObject& options, SheetTable& table) {
  JSValueRef value = options.value("totals");
  if (JSValueIsUndefined(call.context, value)) return;
  OptionObject totals(call.args, value, "option \"totals\"");
  for (TableColumn& column : table.columns) {
    const std::string key = toUtf8(column.name);
    JSValueRef entry = totals.value(key.c_str());
    if (JSValueIsUndefined(call.context, entry)) continue;
    if (JSValueIsString(call.context, entry)) {
      column.totals = parseTotalsFunction(valueToU16String(call.context, entry));
    } else {
      OptionObject label(call.args, entry, "totals of column \"" + key + "\"");
      const auto text = label.string("label");
      if (!text)
        label.fail("label", "is missing (give a function such as 'sum' or {label: 'Total'})");
      column.totalsLabel = *text;
      label.finish();
    }
  }
  totals.finish();
  table.totalsRow = true;
}

// Header cells hold the column names as text, as the application keeps them.
void writeHeaderAndTotals(Sheet& sheet, const SheetTable& table) {
  const RangeRef& range = table.range;
  for (size_t i = 0; i < table.columns.size(); ++i) {
    const int32_t column = range.firstColumn + static_cast<int32_t>(i);
    const TableColumn& entry = table.columns[i];
    if (table.headerRow) {
      const CellValue current = sheet.value(range.firstRow, column);
      if (current.kind != CellValue::Kind::Text || current.text != entry.name) {
        sheet.setValue(cellRef(range.firstRow, column), CellValue::fromText(entry.name));
      }
    }
    if (!table.totalsRow) continue;
    const RangeRef total = cellRef(range.lastRow, column);
    if (!entry.totalsLabel.empty()) {
      sheet.setValue(total, CellValue::fromText(entry.totalsLabel));
    } else if (entry.totals != TotalsFunction::None) {
      const RangeRef data{range.firstRow + (table.headerRow ? 1 : 0), column, range.lastRow - 1,
                          column};
      sheet.setFormula(total, u"SUBTOTAL(" + fromUtf8(std::to_string(subtotalCode(entry.totals))) +
                                  u"," + formatRangeRef(data, false) + u")");
    }
  }
}

// AddTable("A1:D13", "Sales", {style, headerRow, totals, bandedRows, bandedColumns}): the
// header row names the columns; totals add a row below the range, which must be empty.
JSValueRef addTable(const Call& call) {
  call.args.expectCount(2, 3);
  Sheet& sheet = thisSheet(call);
  refuseObjectsOnOpenedFile(call, sheet);
  RangeRef range = parseRangeRef(call.args.string(0));
  if (range.shape != RangeRef::Shape::Cells) {
    throw ArgumentError(call.args.methodName() +
                        ": a table covers cells, not whole rows or columns");
  }
  SheetTable table;
  table.name = call.args.string(1);
  checkTableName(table.name);
  refuseTakenName(call, sheet.workbook(), table.name);
  OptionObject options(call.args, call.args.at(2), "argument 3");
  table.headerRow = options.boolean("headerRow").value_or(true);
  if (auto style = options.string("style")) {
    if (style->empty() || style->size() > kMaxStyleName)
      options.fail("style", "must be a style name such as \"TableStyleMedium2\"");
    table.style = *style;
  }
  table.bandedRows = options.boolean("bandedRows").value_or(true);
  table.bandedColumns = options.boolean("bandedColumns").value_or(false);
  if (table.headerRow && range.rowCount() < 2) {
    throw ArgumentError(call.args.methodName() +
                        ": a table needs a header row and at least one row of data");
  }
  std::vector<std::u16string> headers;
  for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
    headers.push_back(table.headerRow ? sheet.displayText(range.firstRow, column) : u"");
  }
  for (std::u16string& name : uniqueColumnNames(headers))
    table.columns.push_back({std::move(name), {}, {}});
  readTotals(call, options, table);
  if (auto totalsRow = options.boolean("totalsRow"))
    table.totalsRow = table.totalsRow || *totalsRow;
  options.finish();
  if (table.totalsRow) {
    if (range.lastRow + 1 >= kMaxRows)
      throw ArgumentError(call.args.methodName() + ": no row below the table for its totals");
    ++range.lastRow;
    for (int32_t column = range.firstColumn; column <= range.lastColumn; ++column) {
      if (!sheet.value(range.lastRow, column).isEmpty() || sheet.formula(range.lastRow, column)) {
        throw ArgumentError(call.args.methodName() + ": the totals row " +
                            std::to_string(range.lastRow + 1) + " below the table is not empty");
      }
    }
  }
  table.range = range;
  refuseOverlaps(call, sheet, range);
  writeHeaderAndTotals(sheet, table);
  sheet.objects().tables.push_back(std::move(table));
  return JSValueMakeUndefined(call.context);
}

// Names of the sheet's tables, in the order they were added.
JSValueRef getTables(const Call& call) {
  call.args.expectCount(0, 0);
  const Sheet& sheet = thisSheet(call);
  std::vector<JSValueRef> names;
  for (const SheetTable& table : sheet.objects().tables)
    names.push_back(makeString(call.context, table.name));
  return JSObjectMakeArray(call.context, names.size(), names.data(), nullptr);
}

}  // namespace

void addWorksheetTableMethods(std::vector<JSStaticFunction>& table) {
  table.push_back(worksheetMethod<addTable>("AddTable"));
  table.push_back(worksheetMethod<getTables>("GetTableNames"));
}

}  // namespace sx
