"""Workbooks made by other programs, edited through the helper: every part they had is still in
the package, and openpyxl and LibreOffice read the edit."""

import os
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile
import zlib
from xml.etree import ElementTree

import openpyxl
import xlsxwriter
from openpyxl.chart import BarChart, Reference
from openpyxl.comments import Comment
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import Font, PatternFill, Protection
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.worksheet.table import Table

from engine_e2e_support import RUN_TIMEOUT, SOFFICE, HelperCase


def small_png(path, width=4, height=3):
    rows = b"".join(b"\x00" + bytes([200, 30, 30]) * width for _ in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                   + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def add_defined_name(book, name, reference):
    entry = DefinedName(name, attr_text=reference)
    try:
        book.defined_names[name] = entry
    except (TypeError, AttributeError):
        book.defined_names.append(entry)


def print_area(sheet):
    """The print area without its sheet (openpyxl versions give a text or a list)."""
    area = sheet.print_area
    return (area if isinstance(area, str) else area[0]).split("!")[-1]


def chart_anchor_and_series(path):
    """The first chart's top row (0-based) in its drawing, and its series references."""
    namespaces = {"xdr": "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing",
                  "c": "http://schemas.openxmlformats.org/drawingml/2006/chart"}
    with zipfile.ZipFile(path) as package:
        drawing = ElementTree.fromstring(package.read("xl/drawings/drawing1.xml"))
        chart = ElementTree.fromstring(package.read("xl/charts/chart1.xml"))
    row = int(drawing.find(".//xdr:from/xdr:row", namespaces).text)
    return row, [f.text for f in chart.iter("{%s}f" % namespaces["c"])]


class EditingOtherProgramsWorkbooks(HelperCase):
    def edit(self, source, output="edited.xlsx", cell="B2", value=99, sheet="Data"):
        """Runs a task on `source`: one setValue and one addSheet. Returns the output path."""
        self.run_task({"input": source, "output": output, "actions": [
            {"cmd": "setValue", "sheet": sheet, "cell": cell, "value": value},
            {"cmd": "addSheet", "name": "Added"},
        ]})
        return self.path(output)

    def assert_parts_kept(self, source, edited):
        with zipfile.ZipFile(source) as before, zipfile.ZipFile(edited) as after:
            kept = set(after.namelist())
            missing = [name for name in before.namelist()
                       if not name.endswith("/") and name not in kept and not name.endswith("calcChain.xml")]
            self.assertEqual(missing, [], "parts lost by the edit")
            self.assertIsNone(after.testzip())
            for name in before.namelist():
                if name.startswith(("xl/media/", "xl/charts/", "xl/drawings/", "xl/tables/", "xl/theme/",
                                    "xl/comments", "docProps/")):
                    self.assertEqual(before.read(name), after.read(name), name)

    def assert_libreoffice_reads(self, edited, row, column, expected):
        rows = self.libreoffice_csv(edited)
        self.assertEqual(rows[row][column], expected)

    def test_openpyxl_workbook_with_chart_comment_rules_table_and_names(self):
        book = openpyxl.Workbook()
        sheet = book.active
        sheet.title = "Data"
        sheet.append(["Item", "Amount"])
        for i in range(1, 6):
            sheet.append([f"item {i}", i * 10])
        sheet["A1"].font = Font(bold=True, name="Arial")
        sheet["B3"].fill = PatternFill("solid", fgColor="FFFF00")
        sheet["B3"].protection = Protection(locked=False)
        sheet["A2"].comment = Comment("a note", "tester")
        validation = DataValidation(type="list", formula1='"a,b,c"')
        sheet.add_data_validation(validation)
        validation.add("D2")
        sheet.conditional_formatting.add(
            "B2:B6", CellIsRule(operator="greaterThan", formula=["25"], fill=PatternFill("solid", fgColor="FF0000")))
        sheet.add_table(Table(displayName="Amounts", ref="A1:B6"))
        chart = BarChart()
        chart.add_data(Reference(sheet, min_col=2, min_row=1, max_row=6), titles_from_data=True)
        sheet.add_chart(chart, "E2")
        add_defined_name(book, "Amounts_Total", "Data!$B$2:$B$6")
        book.create_sheet("Hidden")["A1"] = "secret"
        book["Hidden"].sheet_state = "hidden"
        book.save(self.path("openpyxl.xlsx"))

        edited = self.edit("openpyxl.xlsx")
        self.assert_parts_kept(self.path("openpyxl.xlsx"), edited)
        result = openpyxl.load_workbook(edited)
        self.assertEqual(result.sheetnames, ["Data", "Hidden", "Added"])
        data = result["Data"]
        self.assertEqual(data["B2"].value, 99)
        self.assertEqual(data["A3"].value, "item 2")
        self.assertTrue(data["A1"].font.b)
        self.assertEqual(data["A1"].font.name, "Arial")
        self.assertFalse(data["B3"].protection.locked)
        self.assertEqual(data["A2"].comment.text, "a note")
        self.assertEqual(len(data.data_validations.dataValidation), 1)
        self.assertEqual([str(r.sqref) for r in data.conditional_formatting], ["B2:B6"])
        self.assertIn("Amounts", data.tables)
        self.assertEqual(result["Hidden"].sheet_state, "hidden")
        names = result.defined_names
        reference = names["Amounts_Total"].attr_text if hasattr(names, "__getitem__") else None
        self.assertEqual(reference, "Data!$B$2:$B$6")
        self.assert_libreoffice_reads(edited, 1, 1, "99")

    def test_names_of_a_sheets_own_calculate_and_keep_their_scope(self):
        book = openpyxl.Workbook()
        book.active.title = "Intro"
        data = book.create_sheet("Data")
        data["A1"] = 2
        data["B1"] = "=Rate*A1"
        data["C1"] = "=Intro!Rate*A1"
        book["Intro"]["A1"] = "=Data!Rate+Rate"
        add_defined_name(book, "Rate", "0.5")
        scoped = DefinedName("Rate", localSheetId=1, attr_text="Data!$A$1*10", hidden=True)
        try:
            data.defined_names["Rate"] = scoped
        except (TypeError, AttributeError):
            book.defined_names.append(scoped)
        book.save(self.path("scoped.xlsx"))

        edited = self.edit("scoped.xlsx", cell="A1", value=3)
        values = openpyxl.load_workbook(edited, data_only=True)
        self.assertEqual(values["Data"]["B1"].value, 90)  # the sheet's own Rate wins on its sheet
        self.assertEqual(values["Data"]["C1"].value, 1.5)
        self.assertEqual(values["Intro"]["A1"].value, 30.5)
        with zipfile.ZipFile(edited) as package:
            names = ElementTree.fromstring(package.read("xl/workbook.xml")).find(
                "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}definedNames")
        found = sorted((n.get("name"), n.get("localSheetId", ""), n.get("hidden", ""), n.text) for n in names)
        self.assertEqual(found, [("Rate", "", "", "0.5"), ("Rate", "1", "1", "Data!$A$1*10")])

    def test_insert_and_delete_move_what_points_at_cells(self):
        source = self.path("pointing.xlsx")
        book = openpyxl.Workbook()
        sheet = book.active
        sheet.title = "Data"
        for row in range(1, 11):
            sheet.cell(row, 1, row)
        sheet.conditional_formatting.add("B2:B10", CellIsRule(operator="greaterThan", formula=["A2"]))
        validation = DataValidation(type="whole", operator="between", formula1="A1", formula2="$A$10")
        validation.add("C2:C10")
        validation.add("E5")
        sheet.add_data_validation(validation)
        sheet["D5"].hyperlink = "https://example.com/five"
        sheet["D8"].hyperlink = "https://example.com/eight"
        sheet.auto_filter.ref = "A1:D10"
        sheet.print_area = "A1:D10"
        chart = BarChart()
        chart.add_data(Reference(sheet, min_col=1, min_row=1, max_row=10))
        sheet.add_chart(chart, "F6")
        book.save(source)

        self.run_task({"input": source, "output": "inserted.xlsx", "actions": [
            {"cmd": "insert", "sheet": "Data", "rows": "3:4", "shift": "down"}]})
        inserted = openpyxl.load_workbook(self.path("inserted.xlsx"))["Data"]
        self.assertEqual([str(r.sqref) for r in inserted.conditional_formatting], ["B2:B12"])
        rule = list(inserted.conditional_formatting)[0].rules[0]
        self.assertEqual(rule.formula, ["A2"])
        [kept_validation] = inserted.data_validations.dataValidation
        self.assertEqual(str(kept_validation.sqref), "C2:C12 E7")
        self.assertEqual((kept_validation.formula1, kept_validation.formula2), ("A1", "$A$12"))
        self.assertEqual({cell.coordinate: cell.hyperlink.target for row in inserted.iter_rows()
                          for cell in row if cell.hyperlink},
                         {"D7": "https://example.com/five", "D10": "https://example.com/eight"})
        self.assertEqual(inserted.auto_filter.ref, "A1:D12")
        self.assertEqual(print_area(inserted), "$A$1:$D$12")
        self.assertEqual(chart_anchor_and_series(self.path("inserted.xlsx")), (7, ["Data!$A$1:$A$12"]))

        self.run_task({"input": source, "output": "deleted.xlsx", "actions": [
            {"cmd": "delete", "sheet": "Data", "rows": "5", "shift": "up"},
            {"cmd": "addSheet", "name": "Added"}]})
        deleted = openpyxl.load_workbook(self.path("deleted.xlsx"))["Data"]
        self.assertEqual([str(r.sqref) for r in deleted.conditional_formatting], ["B2:B9"])
        [kept_validation] = deleted.data_validations.dataValidation
        self.assertEqual(str(kept_validation.sqref), "C2:C9")  # E5 was deleted with its row
        self.assertEqual({cell.coordinate for row in deleted.iter_rows() for cell in row if cell.hyperlink},
                         {"D7"})
        self.assertEqual(deleted.auto_filter.ref, "A1:D9")
        self.assertEqual(print_area(deleted), "$A$1:$D$9")
        self.assertEqual(chart_anchor_and_series(self.path("deleted.xlsx")), (4, ["Data!$A$1:$A$9"]))

    def test_xlsxwriter_workbook_with_rich_text_chart_image_and_formulas(self):
        small_png(self.path("dot.png"))
        book = xlsxwriter.Workbook(self.path("xlsxwriter.xlsx"))
        sheet = book.add_worksheet("Data")
        bold = book.add_format({"bold": True, "font_color": "red"})
        sheet.write_rich_string("A1", "plain ", bold, "loud", " end")
        sheet.write_column("B1", [1, 2, 3, 4])
        sheet.write_formula("C1", "=SUM(B1:B4)", None, 10)
        sheet.write_array_formula("D1:D2", "{=B1:B2*2}", None, 2)
        sheet.write_comment("B1", "first value")
        sheet.conditional_format("B1:B4", {"type": "cell", "criteria": ">", "value": 2, "format": bold})
        sheet.data_validation("E1", {"validate": "integer", "criteria": "between", "minimum": 1, "maximum": 9})
        sheet.add_table("G1:H3", {"columns": [{"header": "Key"}, {"header": "Value"}]})
        chart = book.add_chart({"type": "line"})
        chart.add_series({"values": "=Data!$B$1:$B$4"})
        sheet.insert_chart("J2", chart)
        sheet.insert_image("J20", self.path("dot.png"))
        sheet.write_url("A6", "https://example.invalid/", string="link")
        book.define_name("Values", "=Data!$B$1:$B$4")
        book.define_name("Data!Local", "=Data!$A$1")
        book.close()

        edited = self.edit("xlsxwriter.xlsx", cell="B3", value=30)
        self.assert_parts_kept(self.path("xlsxwriter.xlsx"), edited)
        result = openpyxl.load_workbook(edited)
        data = result["Data"]
        self.assertEqual(data["B3"].value, 30)
        self.assertEqual(data["A1"].value, "plain loud end")
        self.assertEqual(data["C1"].value, "=SUM(B1:B4)")
        self.assertEqual(data["A6"].hyperlink.target, "https://example.invalid/")
        self.assertEqual(data["B1"].comment.text, "first value")
        values = openpyxl.load_workbook(edited, data_only=True)["Data"]
        self.assertEqual(values["C1"].value, 37)  # calculated again with the edit
        with zipfile.ZipFile(edited) as package:
            sheet_xml = package.read("xl/worksheets/sheet1.xml").decode()
            workbook_xml = package.read("xl/workbook.xml").decode()
            strings_xml = package.read("xl/sharedStrings.xml").decode()
        self.assertRegex(strings_xml, r"<r><rPr><b/>.*<t>loud</t></r>", "the rich text runs are kept")
        self.assertIn('t="array" ref="D1:D2"', sheet_xml)
        self.assertIn('localSheetId="0"', workbook_xml)
        self.assert_libreoffice_reads(edited, 2, 1, "30")

    def test_libreoffice_workbook(self):
        if SOFFICE is None:
            self.skipTest("LibreOffice (soffice) is not installed")
        book = openpyxl.Workbook()
        book.active.title = "Data"
        book.active.append(["name", "value"])
        book.active.append(["x", 1])
        book.active["A1"].font = Font(italic=True)
        book.active.merge_cells("D1:E2")
        book.save(self.path("plain.xlsx"))
        profile = tempfile.mkdtemp(prefix="sx_e2e_lo_")
        self.addCleanup(shutil.rmtree, profile, True)
        converted = os.path.join(profile, "lo")
        subprocess.run([SOFFICE, f"-env:UserInstallation=file://{profile}/user", "--headless",
                        "--convert-to", "xlsx:Calc MS Excel 2007 XML", "--outdir", converted, self.path("plain.xlsx")],
                       capture_output=True, timeout=RUN_TIMEOUT, check=True)
        shutil.copy(os.path.join(converted, "plain.xlsx"), self.path("libreoffice.xlsx"))

        edited = self.edit("libreoffice.xlsx", cell="B2", value=7)
        self.assert_parts_kept(self.path("libreoffice.xlsx"), edited)
        result = openpyxl.load_workbook(edited)
        self.assertEqual(result.sheetnames, ["Data", "Added"])
        self.assertEqual(result["Data"]["B2"].value, 7)
        self.assertTrue(result["Data"]["A1"].font.i)
        self.assertEqual([str(r) for r in result["Data"].merged_cells.ranges], ["D1:E2"])
        self.assert_libreoffice_reads(edited, 1, 1, "7")


if __name__ == "__main__":
    unittest.main()
