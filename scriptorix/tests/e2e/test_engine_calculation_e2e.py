"""End to end: formulas set through the helper are calculated by the engine; read-backs give
the values, and the saved workbook carries them for readers that do not calculate."""

import unittest
import zipfile

import openpyxl

from engine_e2e_support import HelperCase


class CalculatedValues(HelperCase):
    def test_read_backs_give_calculated_values(self):
        _, _, _, results = self.run_task({
            "output": "calc.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "setValue", "range": "A1:A4", "value": 2.5},
                {"cmd": "setFormula", "cell": "B1", "formula": "=SUM(A1:A4)*2"},
                {"cmd": "setFormula", "cell": "B2", "formula": "=B1/0"},
                {"cmd": "setFormula", "cell": "B3", "formula": "=UPPER(\"ab\")&COUNT(A:A)"},
                {"cmd": "setFormula", "cell": "B4", "formula": "=B1>10"},
                {"cmd": "setFormula", "cell": "C1", "formula": "=D1+1"},
                {"cmd": "setFormula", "cell": "D1", "formula": "=C1+1"},
                {"cmd": "getValue", "cell": "B1", "result": "sum"},
                {"cmd": "setValue", "cell": "A1", "value": 10},
                {"cmd": "getValue", "cell": "B1", "result": "sumAfterEdit"},
                {"cmd": "getValue", "range": "B2:B4", "result": "kinds"},
                {"cmd": "getValue", "cell": "C1", "result": "circular"},
                {"cmd": "getFormula", "cell": "B1", "result": "formula"},
            ]})
        self.assertEqual(results["sum"], 20)
        self.assertEqual(results["sumAfterEdit"], 35)
        self.assertEqual(results["kinds"], [["#DIV/0!"], ["AB4"], [True]])
        self.assertTrue(results["circular"].startswith("#"), results["circular"])
        self.assertEqual(results["formula"], "=SUM(A1:A4)*2")

    def test_sheets_names_and_structure_changes_recalculate(self):
        _, _, _, results = self.run_task({
            "output": "structure.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "addSheet", "name": "Main"},
                {"cmd": "setFormula", "cell": "A1", "formula": "='Price List'!B2*2"},
                {"cmd": "setFormula", "cell": "A2", "formula": "=SUM(Rates)"},
                {"cmd": "getValue", "cell": "A1", "result": "beforeSheet"},
                {"cmd": "addSheet", "name": "Price List"},
                {"cmd": "setValue", "sheet": "Price List", "range": "B1:B3", "value": 4},
                {"cmd": "addDefName", "sheet": "Price List", "range": "B1:B3", "name": "Rates"},
                {"cmd": "getValue", "sheet": "Main", "cell": "A1", "result": "afterSheet"},
                {"cmd": "getValue", "sheet": "Main", "cell": "A2", "result": "named"},
                {"cmd": "delete", "sheet": "Price List", "rows": "1:1"},
                {"cmd": "setValue", "sheet": "Price List", "cell": "B1", "value": 50},
                {"cmd": "getValue", "sheet": "Main", "cell": "A1", "result": "afterDelete"},
                {"cmd": "getFormula", "sheet": "Main", "cell": "A1", "result": "movedFormula"},
                {"cmd": "getValue", "sheet": "Main", "cell": "A2", "result": "namedAfterDelete"},
                {"cmd": "copy", "sheet": "Main", "range": "A1", "destRange": "B2"},
                {"cmd": "getValue", "sheet": "Main", "cell": "B2", "result": "copied"},
            ]})
        self.assertEqual(results["beforeSheet"], "#REF!")
        self.assertEqual(results["afterSheet"], 8)
        self.assertEqual(results["named"], 12)
        self.assertEqual(results["movedFormula"], "='Price List'!B1*2")
        self.assertEqual(results["afterDelete"], 100)
        self.assertEqual(results["namedAfterDelete"], 54)
        # The copy in B2 reads C2 of the other sheet, which is empty.
        self.assertEqual(results["copied"], 0)

    def test_saved_formulas_carry_values_of_every_kind(self):
        self.run_task({"output": "cached.xlsx", "actions": [
            {"cmd": "setValue", "range": "A1:A100", "value": 3},
            {"cmd": "setFormula", "range": "B1:B100", "formula": "=A1*ROW()"},
            {"cmd": "setFormula", "cell": "C1", "formula": "=\"n=\"&SUM(B:B)"},
            {"cmd": "setFormula", "cell": "C2", "formula": "=ISNUMBER(B7)"},
            {"cmd": "setFormula", "cell": "C3", "formula": "=VLOOKUP(99,A1:B100,2,FALSE)"},
            {"cmd": "setFormula", "cell": "C4", "formula": "=VLOOKUP(3,A1:B100,2,FALSE)"},
            {"cmd": "setNumberFormat", "cell": "C4", "format": "0.00"},
        ]})
        cached = openpyxl.load_workbook(self.path("cached.xlsx"), data_only=True).active
        self.assertEqual([cached.cell(row, 2).value for row in (1, 50, 100)], [3, 150, 300])
        self.assertEqual(cached["C1"].value, "n=%d" % (3 * 5050))
        self.assertIs(cached["C2"].value, True)
        self.assertEqual(cached["C3"].value, "#N/A")
        self.assertEqual(cached["C4"].value, 3)
        formulas = openpyxl.load_workbook(self.path("cached.xlsx")).active
        self.assertEqual(formulas["B100"].value, "=A100*ROW()")
        with zipfile.ZipFile(self.path("cached.xlsx")) as package:
            self.assertIn('fullCalcOnLoad="1"', package.read("xl/workbook.xml").decode())

    def test_csv_output_shows_calculated_values(self):
        self.run_task({"output": "calc.csv", "format": "csv", "actions": [
            {"cmd": "setValue", "cell": "A1", "value": 0.25},
            {"cmd": "setFormula", "cell": "B1", "formula": "=A1*4"},
            {"cmd": "setFormula", "cell": "C1", "formula": "=TEXT(A1,\"0.0%\")"},
            {"cmd": "setFormula", "cell": "D1", "formula": "=A1*2"},
            {"cmd": "setNumberFormat", "cell": "D1", "format": "0.00"},
        ]})
        with open(self.path("calc.csv"), encoding="utf-8") as file:
            self.assertEqual(file.read(), "0.25,1,25.0%,0.50\n")

    def test_lookups_over_a_large_table_finish_quickly(self):
        rows = 20000
        actions = [{"cmd": "setValue", "row": r, "col": 0, "value": "key%d" % r} for r in range(rows)]
        actions += [{"cmd": "setValue", "row": r, "col": 1, "value": r * 3} for r in range(rows)]
        actions += [{"cmd": "setFormula", "row": r, "col": 2,
                     "formula": "=VLOOKUP(\"KEY%d\",$A$1:$B$%d,2,FALSE)" % (rows - 1 - r, rows)}
                    for r in range(rows)]
        actions += [{"cmd": "getValue", "range": "C1:C3", "result": "first"},
                    {"cmd": "getValue", "cell": "C%d" % rows, "result": "last"}]
        _, _, _, results = self.run_task({"output": "lookups.xlsx", "resultOutput": "answers.json",
                                          "actions": actions})
        self.assertEqual(results["first"], [[(rows - 1) * 3], [(rows - 2) * 3], [(rows - 3) * 3]])
        self.assertEqual(results["last"], 0)


if __name__ == "__main__":
    unittest.main()
