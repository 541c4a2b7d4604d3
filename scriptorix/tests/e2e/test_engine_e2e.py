"""End to end: JSON tasks through the built helper and engine, checked with openpyxl and
LibreOffice, which know nothing of this engine."""

import json
import os
import shutil
import subprocess
import unittest

import openpyxl

from engine_e2e_support import ENGINE, HelperCase, RUNTIME, SOURCE_DIR


def red_fill(cell):
    return cell.fill.fgColor.rgb[-6:]


class Values(HelperCase):
    def test_values_keep_their_kinds_and_read_back(self):
        _, stdout, _, results = self.run_task({
            "output": "out/values.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "setValue", "cell": "A1", "value": 42},
                {"cmd": "setValue", "cell": "A2", "value": "00123"},
                {"cmd": "setValue", "cell": "A3", "value": True},
                {"cmd": "setValue", "cell": "A4", "value": "'=not a formula"},
                {"cmd": "setValue", "cell": "A5", "value": 2.5},
                {"cmd": "setValue", "cell": "A6", "value": "temporary"},
                {"cmd": "setValue", "cell": "A6", "value": None},
                {"cmd": "setFormula", "range": "B1:B2", "formula": "=A1*2"},
                {"cmd": "setValue", "cell": "C1", "value": "Grüße, \"quoted\" €"},
                {"cmd": "getValue", "cell": "A1", "result": "number"},
                {"cmd": "getValue", "cell": "A2", "result": "text"},
                {"cmd": "getValue", "cell": "A3", "result": "boolean"},
                {"cmd": "getValue", "cell": "A6", "result": "cleared"},
                {"cmd": "getValue", "range": "A1:A2", "result": "block"},
                {"cmd": "getFormula", "cell": "B2", "result": "formula"},
                {"cmd": "getFormula", "cell": "A5", "result": "formulaOfValue"},
                {"cmd": "getValue", "cell": "C1", "result": "unicode"},
                {"cmd": "getValue", "sheet": "Nope", "cell": "A1", "result": "missingSheet"},
            ]})
        self.assertIn("Created", stdout)
        self.assertEqual(results["number"], 42)
        self.assertEqual(results["text"], "00123")
        self.assertIs(results["boolean"], True)
        self.assertEqual(results["cleared"], "")
        self.assertEqual(results["block"], [[42], ["00123"]])
        self.assertEqual(results["formula"], "=A2*2")
        self.assertEqual(results["formulaOfValue"], "2.5")
        self.assertEqual(results["unicode"], "Grüße, \"quoted\" €")
        self.assertIsNone(results["missingSheet"])

        sheet = openpyxl.load_workbook(self.path("out/values.xlsx")).active
        self.assertEqual(sheet["A1"].value, 42)
        self.assertEqual(sheet["A2"].value, "00123")
        self.assertEqual(sheet["A2"].data_type, "s")
        self.assertIs(sheet["A3"].value, True)
        self.assertEqual(sheet["A4"].value, "=not a formula")
        self.assertEqual(sheet["A4"].data_type, "s")
        self.assertIsNone(sheet["A6"].value)
        self.assertEqual(sheet["B1"].value, "=A1*2")
        self.assertEqual(sheet["B2"].value, "=A2*2")
        self.assertEqual(sheet["C1"].value, "Grüße, \"quoted\" €")

        rows = self.libreoffice_csv(self.path("out/values.xlsx"))
        self.assertEqual(rows[0][:3], ["42", "84", "Grüße, \"quoted\" €"])
        self.assertEqual(rows[1][0], "00123")
        self.assertEqual(rows[2][0], "TRUE")
        self.assertEqual(rows[3][0], "=not a formula")

    def test_saved_formulas_carry_calculated_values(self):
        self.run_task({"output": "calc.xlsx", "actions": [
            {"cmd": "setValue", "cell": "A1", "value": 3},
            {"cmd": "setFormula", "cell": "B1", "formula": "=A1*7"}]})
        cached = openpyxl.load_workbook(self.path("calc.xlsx"), data_only=True).active
        self.assertEqual(cached["B1"].value, 21)


class Formatting(HelperCase):
    def test_formats_reach_the_file(self):
        self.run_task({"output": "format.xlsx", "actions": [
            {"cmd": "setValue", "range": "A1:C3", "value": 1234.5},
            {"cmd": "setNumberFormat", "cell": "A1", "format": "#,##0.00"},
            {"cmd": "setColumnWidth", "cols": "B", "value": 24},
            {"cmd": "setFontName", "cell": "A2", "value": "arial"},
            {"cmd": "setHorizontalAlignment", "cell": "A3", "value": "center"},
            {"cmd": "setVerticalAlignment", "cell": "A3", "value": "top"},
            {"cmd": "setFillColor", "cell": "B1", "color": {"r": 255, "g": 0, "b": 0}},
            {"cmd": "setFillColor", "cell": "B2", "color": 0xFF8000},
            {"cmd": "setWrapText", "cell": "C1", "value": True},
            {"cmd": "setBorders", "range": "A1:B2", "position": "Bottom", "lineStyle": "Thick",
             "color": {"r": 0, "g": 0, "b": 255}},
            {"cmd": "setBorders", "cell": "C3", "color": 0},
            {"cmd": "rawJs", "js": "var r = Api.GetActiveSheet().GetRange('C2');\n"
                                   "r.SetBold(true);\nr.SetItalic(true); r.SetFontSize(15);"},
        ]})
        sheet = openpyxl.load_workbook(self.path("format.xlsx")).active
        self.assertEqual(sheet["A1"].number_format, "#,##0.00")
        self.assertEqual(sheet["A2"].number_format, "General")
        self.assertAlmostEqual(sheet.column_dimensions["B"].width, 24, delta=1)
        self.assertEqual(sheet["A2"].font.name, "Arial")
        self.assertEqual(sheet["A3"].alignment.horizontal, "center")
        self.assertEqual(sheet["A3"].alignment.vertical, "top")
        self.assertEqual(red_fill(sheet["B1"]), "FF0000")
        # A packed number is red in its low byte: 0xFF8000 is blue 0xFF, green 0x80, red 0.
        self.assertEqual(red_fill(sheet["B2"]), "0080FF")
        self.assertTrue(sheet["C1"].alignment.wrap_text)
        self.assertFalse(sheet["A3"].alignment.wrap_text)
        self.assertEqual(sheet["A2"].border.bottom.style, "thick")
        self.assertEqual(sheet["B2"].border.bottom.color.rgb[-6:], "0000FF")
        self.assertIsNone(sheet["A1"].border.bottom.style)  # outer edge only
        self.assertEqual(sheet["C3"].border.top.style, "thin")
        self.assertTrue(sheet["C2"].font.bold)
        self.assertTrue(sheet["C2"].font.italic)
        self.assertEqual(sheet["C2"].font.size, 15)

        rows = self.libreoffice_csv(self.path("format.xlsx"))
        self.assertEqual(rows[0][0], "1,234.50")

    def test_unknown_words_fail_the_run(self):
        for action in ({"cmd": "setHorizontalAlignment", "cell": "A1", "value": "middle"},
                       {"cmd": "setBorders", "cell": "A1", "lineStyle": "wavy", "color": 0},
                       {"cmd": "setWrapText", "cell": "A1", "value": "yes"}):
            code, _, stderr, _ = self.run_task({"output": "bad.xlsx", "actions": [action]},
                                               expect_success=False)
            self.assertEqual(code, 1, action)
            self.assertIn("line 3: ", stderr)
            self.assertIn("Error: ", stderr)
            self.assertFalse(os.path.exists(self.path("bad.xlsx")))


class Sheets(HelperCase):
    def test_sheets_names_order_and_active_sheet(self):
        _, _, _, results = self.run_task({
            "output": "sheets.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "addSheet", "name": "Summary"},
                {"cmd": "addSheet", "name": "Data"},
                {"cmd": "addSheet", "name": "Notes"},
                {"cmd": "getSheets", "result": "added"},
                {"cmd": "moveSheet", "sheet": "Notes", "before": "Summary"},
                {"cmd": "moveSheet", "sheet": "Summary", "after": "Data"},
                {"cmd": "getSheets", "result": "moved"},
                {"cmd": "moveSheet", "sheet": "Data", "index": 0},
                {"cmd": "setValue", "sheet": "Data", "cell": "A1", "value": "on data"},
                {"cmd": "getSheets", "result": "indexed"},
                {"cmd": "rawJs", "js": "__zq_sheet('Notes').SetName('Notes 2024');"},
                {"cmd": "getValue", "sheet": "Data", "cell": "A1", "result": "afterMoves"},
            ]})
        self.assertEqual(results["added"], ["Summary", "Data", "Notes"])
        self.assertEqual(results["moved"], ["Notes", "Data", "Summary"])
        self.assertEqual(results["indexed"], ["Data", "Notes", "Summary"])
        self.assertEqual(results["afterMoves"], "on data")
        book = openpyxl.load_workbook(self.path("sheets.xlsx"))
        self.assertEqual(book.sheetnames, ["Data", "Notes 2024", "Summary"])
        self.assertEqual(book.active.title, "Notes 2024")  # the last added stays active
        self.assertEqual(book["Data"]["A1"].value, "on data")

    def test_duplicate_sheet_names_fail_with_the_script_line(self):
        code, _, stderr, _ = self.run_task({"output": "dup.xlsx", "actions": [
            {"cmd": "addSheet", "name": "Data"}, {"cmd": "addSheet", "name": "data"}]},
            expect_success=False)
        self.assertEqual(code, 1)
        self.assertIn("line 4: ", stderr)
        self.assertIn("already exists", stderr)


class Structure(HelperCase):
    def test_merge_clear_copy_delete_insert(self):
        _, _, _, results = self.run_task({
            "output": "structure.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "setValue", "range": "A1:A5", "value": 1},
                {"cmd": "setValue", "cell": "A2", "value": 2},
                {"cmd": "setValue", "cell": "A3", "value": 3},
                {"cmd": "setFormula", "cell": "B1", "formula": "=A3*10"},
                {"cmd": "merge", "range": "D1:E2"},
                {"cmd": "merge", "range": "D4:E5", "across": True},
                {"cmd": "setValue", "cell": "F1", "value": "gone"},
                {"cmd": "setFillColor", "cell": "F1", "color": 255},
                {"cmd": "clear", "cell": "F1"},
                {"cmd": "addSheet", "name": "Sheet1"},
                {"cmd": "addSheet", "name": "Copy"},
                {"cmd": "copy", "sheet": "Sheet1", "range": "A1:B1", "destSheet": "Copy",
                 "destRange": "C3"},
                {"cmd": "copy", "sheet": "Sheet1", "range": "B1", "destRange": "B2"},
                {"cmd": "delete", "sheet": "Sheet1", "range": "A1"},
                {"cmd": "insert", "sheet": "Sheet1", "range": "A1:A2", "shift": "right"},
                {"cmd": "getFormula", "sheet": "Sheet1", "cell": "C1", "result": "shiftedFormula"},
                {"cmd": "getValue", "sheet": "Sheet1", "cell": "B1", "result": "shiftedValue"},
                {"cmd": "getFormula", "sheet": "Copy", "cell": "D3", "result": "copiedFormula"},
            ]})
        self.assertEqual(results["shiftedValue"], 2)
        self.assertEqual(results["shiftedFormula"], "=B2*10")
        self.assertEqual(results["copiedFormula"], "=C5*10")
        book = openpyxl.load_workbook(self.path("structure.xlsx"))
        sheet = book["Sheet1"]
        merged = sorted(str(r) for r in sheet.merged_cells.ranges)
        self.assertEqual(merged, ["D4:E4", "D5:E5", "E1:F2"])
        self.assertIsNone(sheet["G1"].value)
        self.assertIsNone(sheet["G1"].fill.fill_type)
        self.assertEqual([sheet.cell(row=r, column=1).value for r in range(1, 6)],
                         [None, None, 1, 1, None])
        self.assertEqual([sheet.cell(row=r, column=2).value for r in range(1, 6)],
                         [2, 3, None, None, None])
        self.assertEqual(sheet["C2"].value, "=A3*10")
        self.assertEqual(book["Copy"]["C3"].value, 1)
        self.assertEqual(book["Copy"]["D3"].value, "=C5*10")


class NamesAndGetters(HelperCase):
    def test_every_getter_answers_value_by_value(self):
        _, _, _, results = self.run_task({
            "output": "getters.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "addSheet", "name": "Data Sheet"},
                {"cmd": "setValue", "range": "B2:D4", "value": "cell"},
                {"cmd": "setValue", "cell": "C3", "value": "Needle in here"},
                {"cmd": "addDefName", "name": "Block", "range": "B2:D4", "sheet": "Data Sheet"},
                {"cmd": "getDefName", "range": "B2:D4", "result": "defName"},
                {"cmd": "getDefName", "range": "B2:D5", "result": "noDefName"},
                {"cmd": "getAddress", "range": "B2:D4", "result": "address"},
                {"cmd": "getAddress", "range": "B2:D4", "absolute": True, "result": "absolute"},
                {"cmd": "getAddress", "range": "B2:D4", "external": True, "result": "external"},
                {"cmd": "getAddress", "rows": "2:3", "absolute": True, "external": True,
                 "result": "rowsAddress"},
                {"cmd": "getAddress", "row": 0, "col": 2, "result": "byNumber"},
                {"cmd": "getCount", "range": "B2:D4", "result": "cells"},
                {"cmd": "getCount", "range": "B2:D4", "part": "rows", "result": "rowCount"},
                {"cmd": "getCount", "range": "B2:D4", "part": "cols", "result": "colCount"},
                {"cmd": "getCount", "cols": "A:C", "result": "wholeColumns"},
                {"cmd": "getRows", "range": "B2:D4", "result": "rows"},
                {"cmd": "getCols", "range": "B2:D4", "result": "cols"},
                {"cmd": "getUsedRange", "sheet": "Data Sheet", "result": "used"},
                {"cmd": "getValue", "usedRange": True, "result": "usedValues"},
                {"cmd": "find", "range": "A1:E5", "what": "needle", "result": "found"},
                {"cmd": "find", "range": "A1:E5", "what": "absent", "result": "notFound"},
                {"cmd": "getSheets", "result": "sheets"},
                {"cmd": "getValue", "range": "ZZZ1", "result": "badRange"},
            ]})
        expected = {
            "defName": "Block", "noDefName": None, "address": "B2:D4", "absolute": "$B$2:$D$4",
            "external": "'Data Sheet'!B2:D4", "rowsAddress": "'Data Sheet'!$2:$3",
            "byNumber": "C1", "cells": 9, "rowCount": 3, "colCount": 3, "wholeColumns": 3,
            "rows": "B2:D4", "cols": "B2:D4", "used": "B2:D4",
            "usedValues": [["cell"] * 3, ["cell", "Needle in here", "cell"], ["cell"] * 3],
            "found": "C3", "notFound": None, "sheets": ["Data Sheet"], "badRange": None,
        }
        self.assertEqual(results, expected)
        book = openpyxl.load_workbook(self.path("getters.xlsx"))
        self.assertEqual(book.defined_names["Block"].attr_text, "'Data Sheet'!$B$2:$D$4")
        self.assertNotIn("__zq_results", book.sheetnames)


class Inputs(HelperCase):
    def test_edit_of_a_workbook_made_by_another_program(self):
        book = openpyxl.Workbook()
        sheet = book.active
        sheet.title = "Prices"
        sheet["A1"], sheet["B1"] = "Item", "Price"
        sheet["A2"], sheet["B2"] = "Tea", 3.5
        sheet["B2"].number_format = "0.00"
        book.create_sheet("Other")["A1"] = "untouched"
        book.save(self.path("input.xlsx"))
        _, _, _, results = self.run_task({
            "input": "input.xlsx", "output": "edited.xlsx", "resultOutput": "r.json",
            "actions": [
                {"cmd": "getSheets", "result": "sheets"},
                {"cmd": "getValue", "sheet": "Prices", "cell": "B2", "result": "price"},
                {"cmd": "setValue", "sheet": "Prices", "cell": "B2", "value": 4},
                {"cmd": "addSheet", "name": "Added"},
            ]})
        self.assertEqual(results, {"sheets": ["Prices", "Other"], "price": 3.5})
        edited = openpyxl.load_workbook(self.path("edited.xlsx"))
        self.assertEqual(edited.sheetnames, ["Prices", "Other", "Added"])
        self.assertEqual(edited["Prices"]["B2"].value, 4)
        self.assertEqual(edited["Prices"]["B2"].number_format, "0.00")
        self.assertEqual(edited["Other"]["A1"].value, "untouched")

    def test_csv_in_and_out(self):
        # The results sheet can only be added because the staged runtime's patched native.js
        # opens the CSV file as a workbook; unpatched it would be a one-sheet CSV document.
        with open(self.path("data.csv"), "w", encoding="utf-8", newline="") as file:
            file.write('name,amount\n"Smith, J",12\nLee,7.5\n')
        _, _, _, results = self.run_task({
            "input": "data.csv", "output": "data_out.csv", "format": "csv",
            "resultOutput": "r.json",
            "actions": [
                {"cmd": "getValue", "range": "A1:B3", "result": "read"},
                {"cmd": "setValue", "cell": "C1", "value": "checked"},
                {"cmd": "setValue", "cell": "C2", "value": True},
            ]})
        self.assertEqual(results["read"], [["name", "amount"], ["Smith, J", 12], ["Lee", 7.5]])
        with open(self.path("data_out.csv"), encoding="utf-8", newline="") as file:
            text = file.read()
        self.assertEqual(text.splitlines()[:2], ['name,amount,checked', '"Smith, J",12,TRUE'])


    def test_without_the_patch_a_csv_document_has_one_sheet(self):
        runtime = self.path("runtime")
        shutil.copytree(RUNTIME, runtime)
        native = os.path.join(runtime, "sdkjs", "common", "Native", "native.js")
        with open(native, encoding="utf-8") as file:
            text = file.read()
        self.assertTrue(text.startswith(
            "function NativeOpenFileData(t,i,n,e){window.NATIVE_DOCUMENT_TYPE"))
        with open(native, "w", encoding="utf-8") as file:  # the helper's patch no longer applies
            file.write(text.replace("NativeOpenFileData(t,i,n,e){", "NativeOpenFileData(t,i,n,e) {", 1))
        with open(self.path("data.csv"), "w", encoding="utf-8") as file:
            file.write("a,1\n")
        task = {"input": "data.csv", "output": "out.csv", "format": "csv",
                "resultOutput": "r.json", "actions": [{"cmd": "getValue", "cell": "B1", "result": "b"}]}
        with open(self.path("task.json"), "w", encoding="utf-8") as file:
            json.dump(task, file)
        helper = os.path.join(os.environ["ZQ_BUILD_DIR"], "zq_builder_helper")
        unpatched = subprocess.run([helper, "task.json", runtime], cwd=self.folder,
                                   capture_output=True, text=True, timeout=300)
        self.assertEqual(unpatched.returncode, 1)
        self.assertIn("A CSV document holds one sheet", unpatched.stderr)
        _, _, _, results = self.run_task(task)
        self.assertEqual(results, {"b": 1})


class RawScripts(HelperCase):
    def test_multi_line_raw_script_and_extras(self):
        _, _, _, results = self.run_task({
            "output": "raw.xlsx", "resultOutput": "r.json",
            "actions": [
                {"cmd": "rawJs", "js": "var s = Api.GetActiveSheet();\nfor (var i = 1; i <= 3; i++) {\n"
                                       "  s.GetRange('A' + i).SetValue(i * i);\n}\n"
                                       "s.GetRows('2').SetHidden(true);\ns.SetFreezePanes(1, 0);\n"
                                       "s.GetRange('A1').SetUnderline(true);"
                                       "s.GetRange('A1').SetFontColor(Api.CreateColorFromRGB(0, 128, 0));"
                                       "s.GetRows(3).SetRowHeight(30);"},
                {"cmd": "getValue", "range": "A1:A3", "result": "squares"},
            ]})
        self.assertEqual(results["squares"], [[1], [4], [9]])
        sheet = openpyxl.load_workbook(self.path("raw.xlsx")).active
        self.assertTrue(sheet.row_dimensions[2].hidden)
        self.assertEqual(sheet.freeze_panes, "A2")
        self.assertEqual(sheet["A1"].font.underline, "single")
        self.assertEqual(sheet["A1"].font.color.rgb[-6:], "008000")
        self.assertEqual(sheet.row_dimensions[3].height, 30)

    def test_a_script_cannot_reach_the_machine(self):
        _, _, _, results = self.run_task({
            "output": "sandbox.xlsx", "resultOutput": "r.json",
            "actions": [{"cmd": "rawJs", "js": "Api.GetActiveSheet().GetRange('A1').SetValue("
                         "[typeof require, typeof process, typeof XMLHttpRequest, typeof setTimeout,"
                         " typeof console].join());"},
                        {"cmd": "getValue", "cell": "A1", "result": "kinds"}]})
        self.assertEqual(results["kinds"], ",".join(["undefined"] * 5))


class Examples(HelperCase):
    def test_examples_run(self):
        examples = os.path.join(SOURCE_DIR, "examples")
        work = self.path("examples")
        shutil.copytree(examples, work, ignore=shutil.ignore_patterns("out"))
        helper = os.path.join(os.environ["ZQ_BUILD_DIR"], "zq_builder_helper")
        tasks = ("invoice.json", "report.json", "csv_edit.json", "quote_template.json",
                 "quote_from_template.json", "monthly_sales_report.json")
        for task in tasks:
            process = subprocess.run([helper, task], cwd=work, capture_output=True, text=True,
                                     timeout=300)
            self.assertEqual(process.returncode, 0, task + ": " + process.stderr)
        invoice = openpyxl.load_workbook(os.path.join(work, "out", "invoice.xlsx"))
        self.assertEqual(invoice.sheetnames, ["Invoice"])
        self.assertEqual(invoice["Invoice"]["A1"].value, "Invoice")
        monthly = openpyxl.load_workbook(os.path.join(work, "out", "monthly_sales_report.xlsx"))
        self.assertEqual(monthly.sheetnames, ["Sales", "Margin trend"])
        self.assertEqual(list(monthly["Sales"].tables), ["MonthlySales"])
        self.assertEqual(monthly["Sales"].tables["MonthlySales"].ref, "A1:D14")
        self.assertEqual(monthly["Sales"]["D14"].value, "=SUBTOTAL(109,D2:D13)")
        self.assertEqual(len(monthly["Sales"]._charts), 1)
        self.assertEqual(monthly["Sales"].freeze_panes, "A2")
        self.assertEqual(len(monthly.chartsheets), 1)
        report = openpyxl.load_workbook(os.path.join(work, "out", "report.xlsx"))
        self.assertEqual(report.sheetnames, ["Summary", "North", "South"])
        with open(os.path.join(work, "out", "report_answers.json"), encoding="utf-8") as file:
            self.assertEqual(json.load(file)["sheets"], ["Summary", "North", "South"])
        edited = openpyxl.load_workbook(os.path.join(work, "out", "sales_edited.xlsx")).active
        self.assertEqual(edited["A1"].value, "Sales export, edited")
        self.assertEqual([c.value for c in edited[2]], ["Region", "Product", "Units", "Revenue",
                                                        "Price per unit"])
        self.assertEqual(edited["E3"].value, "=D3/C3")
        self.assertEqual(edited["B6"].value, "Gadget, large")
        with open(os.path.join(work, "out", "sales_answers.json"), encoding="utf-8") as file:
            self.assertEqual(json.load(file), {
                "exported": "A1:D5", "largeGadget": "B6",
                "header": [["Region", "Product", "Units", "Revenue"]]})
        quote = openpyxl.load_workbook(os.path.join(work, "out", "quote.xlsx"), data_only=True)
        self.assertEqual(quote["Quote"]["B2"].value, "Northwind Traders")
        self.assertEqual(quote["Quote"]["D10"].value, 2 * 850 + 3200.5)
        with open(os.path.join(work, "out", "quote_answers.json"), encoding="utf-8") as file:
            self.assertEqual(json.load(file), {"total": 4900.5, "totalName": "QuoteTotal",
                                               "sheets": ["Quote"]})
        rows = self.libreoffice_csv(os.path.join(work, "out", "invoice.xlsx"))
        self.assertEqual(rows[0][0], "Invoice")


class EngineProgram(HelperCase):
    def test_exit_codes(self):
        usage = subprocess.run([ENGINE], capture_output=True, text=True, timeout=60)
        self.assertEqual(usage.returncode, 2)
        self.assertIn("Usage", usage.stderr)
        unreadable = subprocess.run([ENGINE, self.path("missing.js")], capture_output=True,
                                    text=True, timeout=60)
        self.assertEqual(unreadable.returncode, 2)
        directory = subprocess.run([ENGINE, self.folder], capture_output=True, text=True,
                                   timeout=60)
        self.assertEqual(directory.returncode, 2)
        self.assertIn("not a readable file", directory.stderr)
        with open(self.path("latin1.js"), "wb") as file:
            file.write(b"var s = '\xe9';")
        bad_utf8 = subprocess.run([ENGINE, self.path("latin1.js")], capture_output=True,
                                  text=True, timeout=60)
        self.assertEqual(bad_utf8.returncode, 2)
        self.assertIn("UTF-8", bad_utf8.stderr)

        ran = self.run_engine("builder.CreateFile('xlsx');\nbuilder.SaveFile('xlsx', 'x.xlsx');\n"
                              "builder.CloseFile();\n")
        self.assertEqual(ran.returncode, 0, ran.stderr)
        self.assertEqual(ran.stderr, "")
        threw = self.run_engine("builder.CreateFile('xlsx');\n\nApi.GetActiveSheet().SetName('a:b');\n")
        self.assertEqual(threw.returncode, 1)
        self.assertEqual(len(threw.stderr.splitlines()), 1)
        self.assertTrue(threw.stderr.startswith("line 3: "), threw.stderr)

    def test_config_is_found_beside_the_engine_or_reported_missing(self):
        # Working directory without a config: the one beside the executable is used.
        self.assertEqual(self.run_engine("builder.CreateFile('xlsx');").returncode, 0)
        lonely = self.path("lonely")
        os.mkdir(lonely)
        engine_copy = os.path.join(lonely, "scriptorix.exe")
        shutil.copy(ENGINE, engine_copy)
        missing = self.run_engine("1;", cwd=lonely, engine=engine_copy)
        self.assertEqual(missing.returncode, 1)
        self.assertIn("DoctRenderer.config", missing.stderr)
        with open(os.path.join(lonely, "DoctRenderer.config"), "w", encoding="utf-8") as file:
            file.write("<Settings><file>x.js</file>")
        broken = self.run_engine("1;", cwd=lonely, engine=engine_copy)
        self.assertEqual(broken.returncode, 1)
        self.assertIn("malformed", broken.stderr)

    def test_runtime_layout(self):
        for name in ("scriptorix.exe", "DoctRenderer.config", "AllFonts.js",
                     "sdkjs/common/Native/native.js", "sdkjs/common/Native/jquery_native.js",
                     "web-apps/vendor/xregexp/xregexp-all-min.js"):
            self.assertGreater(os.path.getsize(os.path.join(RUNTIME, name)), 0, name)


if __name__ == "__main__":
    unittest.main()
