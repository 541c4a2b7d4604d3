"""Tables, notes, sparklines and x14 conditional formats of an XlsxWriter workbook follow the
engine's Insert, Delete and sheet rename as the desktop application moves them; what the
application refuses gives a message and leaves the file alone."""

import re
import unittest
import zipfile

import openpyxl
import xlsxwriter
from openpyxl.formatting.rule import FormulaRule
from openpyxl.worksheet.datavalidation import DataValidation

from engine_e2e_support import HelperCase


def part(path, name):
    with zipfile.ZipFile(path) as package:
        return package.read(name).decode("utf-8")


def attribute(xml, element, name):
    """The values of one attribute on every element with this local name, in order."""
    return re.findall(r"<(?:\w+:)?%s\b[^>]*?\s%s=\"([^\"]*)\"" % (element, name), xml)


def sparklines(xml):
    """(data, place) of every sparkline, sorted."""
    return sorted(re.findall(r"<x14:sparkline><xm:f>([^<]*)</xm:f><xm:sqref>([^<]*)</xm:sqref>", xml))


def texts(xml, element):
    return re.findall(r"<(?:\w+:)?%s>([^<]*)</(?:\w+:)?%s>" % (element, element), xml)


class StructuresFollowEdits(HelperCase):
    def setUp(self):
        super().setUp()
        book = xlsxwriter.Workbook(self.path("source.xlsx"))
        sheet = book.add_worksheet("Data")
        sheet.add_table("A1:C7", {
            "name": "Sales", "total_row": True,
            "data": [[f"r{i}", i * 10] for i in range(1, 6)],
            "columns": [{"header": "Region", "total_string": "Sum"},
                        {"header": "Q1", "total_function": "sum"},
                        {"header": "Double", "formula": "=[@Q1]*2", "total_function": "sum"}]})
        sheet.add_table("E20:F22", {"name": "Small", "columns": [{"header": "Key"}, {"header": "Value"}]})
        sheet.write_comment("E3", "three")
        sheet.write_comment("E10", "ten")
        sheet.add_sparkline("H2", {"range": "Data!B2:B6"})
        sheet.add_sparkline("H12", {"range": "Data!B2:B3"})
        sheet.conditional_format("G2:G10", {"type": "data_bar", "data_bar_2010": True})
        book.add_worksheet("Other").write_formula("A1", "=SUM(Data!B2:B6)")
        book.close()

    def run_script(self, body, output):
        process = self.run_engine(
            f"builder.OpenFile({self.path('source.xlsx')!r});\nvar s = Api.GetSheet('Data');\n{body}\n"
            f"builder.SaveFile('xlsx', {self.path(output)!r});\nbuilder.CloseFile();\n")
        self.assertEqual(process.returncode, 0, process.stderr)
        return self.path(output)

    def test_insert_and_rename(self):
        edited = self.run_script("s.GetRange('3:4').Insert('down');\ns.SetName('Figures');", "inserted.xlsx")
        sales, small = part(edited, "xl/tables/table1.xml"), part(edited, "xl/tables/table2.xml")
        self.assertEqual(attribute(sales, "table", "ref"), ["A1:C9"], "rows inserted inside the table grow it")
        self.assertEqual(attribute(sales, "autoFilter", "ref"), ["A1:C8"], "the totals row stays out of the filter")
        self.assertEqual(attribute(small, "table", "ref"), ["E22:F24"])
        self.assertEqual(attribute(part(edited, "xl/comments1.xml"), "comment", "ref"), ["E5", "E12"])
        vml = part(edited, "xl/drawings/vmlDrawing1.vml")
        self.assertEqual(texts(vml, "x:Row"), ["4", "11"])
        self.assertEqual(texts(vml, "x:Column"), ["4", "4"])
        sheet = part(edited, "xl/worksheets/sheet1.xml")
        self.assertEqual(sparklines(sheet), [("Figures!B2:B5", "H14"), ("Figures!B2:B8", "H2")])
        self.assertEqual(texts(sheet, "xm:sqref")[0], "G2:G12")
        self.assertEqual(attribute(sheet, "conditionalFormatting", "sqref"), ["G2:G12"])

        result = openpyxl.load_workbook(edited)
        figures = result["Figures"]
        self.assertEqual({table.name: table.ref for table in figures.tables.values()},
                         {"Sales": "A1:C9", "Small": "E22:F24"})
        self.assertEqual({cell.coordinate: cell.comment.text for row in figures.iter_rows()
                          for cell in row if cell.comment}, {"E5": "three", "E12": "ten"})
        self.assertEqual(result["Other"]["A1"].value, "=SUM(Figures!B2:B8)")

    def test_delete_shrinks_and_removes(self):
        edited = self.run_script("s.GetRange('20:22').Delete('up');\ns.GetRange('10:10').Delete('up');\n"
                                 "s.GetRange('4:4').Delete('up');", "deleted.xlsx")
        with zipfile.ZipFile(edited) as package:
            names = package.namelist()
        self.assertNotIn("xl/tables/table2.xml", names, "a table whose cells are all deleted goes")
        sheet = part(edited, "xl/worksheets/sheet1.xml")
        self.assertEqual(len(re.findall(r"<tablePart\b", sheet)), 1)
        self.assertNotIn("table2.xml", part(edited, "xl/worksheets/_rels/sheet1.xml.rels"))
        self.assertNotIn("table2.xml", part(edited, "[Content_Types].xml"))
        self.assertEqual(attribute(part(edited, "xl/comments1.xml"), "comment", "ref"), ["E3"])
        self.assertEqual(texts(part(edited, "xl/drawings/vmlDrawing1.vml"), "x:Row"), ["2"])
        self.assertEqual(sparklines(sheet), [("Data!B2:B3", "H10"), ("Data!B2:B5", "H2")])
        self.assertEqual(texts(sheet, "xm:sqref")[0], "G2:G8")

        data = openpyxl.load_workbook(edited)["Data"]
        self.assertEqual({table.name: table.ref for table in data.tables.values()}, {"Sales": "A1:C6"})
        self.assertEqual(data["A4"].value, "r4")

    def test_deletes_the_application_refuses(self):
        for body, why in (("s.GetRange('1:1').Delete('up');", "header row"),
                          ("s.GetRange('7:7').Delete('up');", "totals row"),
                          ("s.GetRange('2:6').Delete('up');", "every data row"),
                          ("s.GetRange('B3').Delete('up');", "part"),
                          ("s.GetRange('B3:B4').Insert('right');", "part")):
            with self.subTest(body):
                process = self.run_engine(
                    f"builder.OpenFile({self.path('source.xlsx')!r});\nvar s = Api.GetSheet('Data');\n{body}\n")
                self.assertNotEqual(process.returncode, 0)
                self.assertIn(why, process.stderr)
                self.assertIn('"Sales"', process.stderr)
        # Whole columns through the table take its columns with them, and the table stays.
        edited = self.run_script("s.GetRange('B:B').Delete('left');", "columns.xlsx")
        sales = part(edited, "xl/tables/table1.xml")
        self.assertEqual(attribute(sales, "table", "ref"), ["A1:B7"])
        self.assertEqual(attribute(sales, "tableColumn", "name"), ["Region", "Double"])
        self.assertEqual(attribute(sales, "tableColumns", "count"), ["2"])
        self.assertEqual(openpyxl.load_workbook(edited)["Data"].tables["Sales"].ref, "A1:B7")


    def test_copy_carries_formats_and_validation(self):
        book = openpyxl.Workbook()
        sheet = book.active
        sheet.title = "Data"
        for row in range(1, 7):
            sheet.cell(row, 1, row)
        sheet.conditional_formatting.add("B2:B6", FormulaRule(formula=["A2>3"]))
        validation = DataValidation(type="whole", operator="greaterThan", formula1="A2")
        validation.add("C2:C6")
        sheet.add_data_validation(validation)
        book.save(self.path("openpyxl.xlsx"))
        process = self.run_engine(
            f"builder.OpenFile({self.path('openpyxl.xlsx')!r});\nvar s = Api.GetSheet('Data');\n"
            "s.GetRange('B2:C3').Copy(s.GetRange('E10'));\n"
            "s.GetRange('A1').Copy(s.GetRange('B2'));\n"
            f"builder.SaveFile('xlsx', {self.path('copied.xlsx')!r});\nbuilder.CloseFile();\n")
        self.assertEqual(process.returncode, 0, process.stderr)
        data = openpyxl.load_workbook(self.path("copied.xlsx"))["Data"]
        [formats] = list(data.conditional_formatting)
        self.assertEqual(str(formats.sqref), "B3:B6 E10:E11")
        self.assertEqual(formats.rules[0].formula, ["A3>3"], "written anew for the first cell left")
        [kept_validation] = data.data_validations.dataValidation
        self.assertEqual(str(kept_validation.sqref), "C2:C6 F10:F11")
        self.assertEqual(kept_validation.formula1, "A2")


if __name__ == "__main__":
    unittest.main()
