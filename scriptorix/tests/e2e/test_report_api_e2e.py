"""The report-building calls, written by tasks through the helper and read by other programs."""

import datetime
import json
import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import zipfile
import zlib
from xml.etree.ElementTree import fromstring

import openpyxl
from openpyxl.drawing.spreadsheet_drawing import SpreadsheetDrawing

from engine_e2e_support import BUILD_DIR, HELPER, HelperCase, RUN_TIMEOUT, SOFFICE, SOURCE_DIR

PDFTOPPM = shutil.which("pdftoppm")
# Rendered pages stay in the build folder, for CI to keep as artefacts.
RENDER_DIR = os.path.join(BUILD_DIR, "report_api_renders")

FEATURES_JS = """
var s = Api.GetSheet('summary');
s.GetRange('A1:C3').SetValue([['Item', 'When', 'Amount'],
                              ['Tea', new Date(2024, 1, 29), 12.5],
                              ['Cake', new Date(2024, 2, 1, 18, 0), 3]]);
s.GetRange('A1:C1').SetBold(true);
s.GetRange('A2').SetUnderline('doubleAccounting');
s.GetRange('A3').SetStrikethrough(true);
s.GetRange('C2').SetSuperscript(true);
s.GetRange('C3').SetSubscript(true);
s.SetTabColor(Api.CreateColorFromRGB(31, 78, 121));
s.Protect('secret', {formatColumns: true, selectLockedCells: false});
s.SetActive();
Api.GetSheet('Hidden').SetVisible(false);
Api.GetSheet('Secret').SetVisibility('veryHidden');
Api.GetSheet('Scratch').Delete();
Api.SetCalculationMode('manual');
s.GetRange('E1').SetValue(s.GetRange('B2').GetValueAsDate().getDate());
s.GetRows('2:3').Group();
s.GetCols('B:C').Group(2);
s.SetZoom(85);
s.SetDisplayGridlines(false);
s.SetPrintGridlines(true);
s.SetDefaultRowHeight(18);
s.SetPageOrientation('landscape');
s.SetPaperSize('A4');
s.SetPageMargins(0.5, 0.5, 1, 1);
s.SetFitToPage(1, 0);
s.SetHeader('&CQuarterly report');
s.SetFooter('&RPage &P of &N');
s.GetRange('C2:C3').SetCurrencyFormat('EUR ', 2);
s.GetRange('F1').SetValue(0.125);
s.GetRange('F1').SetPercentFormat(1);
s.GetRange('G1').SetValue('A heading long enough to widen its column');
s.GetCols('A:G').AutoFit();
"""


def pgm_pixels(path):
    """The pixels of a binary 8-bit PGM (what pdftoppm -gray writes), row by row."""
    with open(path, "rb") as file:
        data = file.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P5" and fields[3] == b"255", path
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    assert len(pixels) == width * height, path
    return width, height, [pixels[y * width:(y + 1) * width] for y in range(height)]


def pdf_text_operators(path):
    """How many text-showing operators the PDF's compressed content streams hold."""
    with open(path, "rb") as file:
        data = file.read()
    count = 0
    for match in re.finditer(rb"stream\r?\n", data):
        end = data.find(b"endstream", match.end())
        try:
            content = zlib.decompress(data[match.end():end])
        except zlib.error:
            continue
        count += len(re.findall(rb"\)\s*Tj|\]\s*TJ|>\s*Tj", content))
    return count


def solid_png(path, width, height, grey):
    """A PNG of one grey level, for a picture whose rendered area is easy to find."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + bytes([grey]) * width for _ in range(height))
    with open(path, "wb") as file:
        file.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
                   + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


OBJECTS_JS = """
var s = Api.GetSheet('Summary');
s.GetRange('A1:C4').SetValue([['Region', 'Units', 'Revenue'], ['North', 12, 1200], ['South', 7, 980], ['West', 9, 1105]]);
s.GetRange('B2').SetNote('Counted twice in March', 'Ann');
s.GetRange('C3').SetNote('Estimate');
s.AddImage(LOGO, 'B7', {width: 160, height: 80});
s.AddImage(LOGO, 'F2:G4');
s.AddTable('A1:C4', 'Regions', {style: 'TableStyleMedium9', totals: {Region: {label: 'Total'}, Units: 'sum', Revenue: 'sum'}});
s.AddChart('bar', 'A13:F26', {series: [{values: 'C2:C4', categories: 'A2:A4', nameCell: 'C1'}], grouping: 'stacked',
                              title: 'Revenue', categoryAxisTitle: 'Region', valueAxisTitle: 'EUR', legend: 'bottom'});
Api.AddChartSheet('Share', 'pie', {series: [{values: 'C2:C4', categories: 'A2:A4'}], title: 'Share of revenue'});
"""

# Where LibreOffice puts a cell's corner on a page printed at 100%: default margins (0.7 in left,
# 0.75 in top), default columns (64 px at 96 dpi) and rows (15 pt). In inches.
def cell_corner(column, row):
    return 0.7 + column * 64 / 96, 0.75 + row * 15 / 72


def area_pixels(rows, dpi, left_top, right_bottom):
    """The grey values inside the inner half of an area given by two corners in inches."""
    (x0, y0), (x1, y1) = left_top, right_bottom
    dx, dy = (x1 - x0) / 4, (y1 - y0) / 4
    xs = range(int((x0 + dx) * dpi), int((x1 - dx) * dpi))
    return [rows[y][x] for y in range(int((y0 + dy) * dpi), int((y1 - dy) * dpi)) for x in xs]


class ReportApi(HelperCase):
    def features_task(self):
        return {
            "output": "features.xlsx", "resultOutput": "answers.json",
            "actions": [
                {"cmd": "addSheet", "name": "Summary"},
                {"cmd": "addSheet", "name": "Hidden"},
                {"cmd": "addSheet", "name": "Secret"},
                {"cmd": "addSheet", "name": "Notes"},
                {"cmd": "addSheet", "name": "Scratch"},
                {"cmd": "setValue", "sheet": "Notes", "cell": "A1", "value": "=Scratch!A1"},
                {"cmd": "rawJs", "js": FEATURES_JS},
                {"cmd": "getValue", "sheet": "Summary", "cell": "B2", "result": "serial"},
                {"cmd": "getValue", "sheet": "Summary", "cell": "E1", "result": "day"},
                {"cmd": "getFormula", "sheet": "Notes", "cell": "A1", "result": "lost"},
                {"cmd": "getSheets", "result": "sheets"},
            ]}

    def check_features(self, path):
        book = openpyxl.load_workbook(path)
        # The first added sheet takes over the new workbook's own.
        self.assertEqual(book.sheetnames, ["Summary", "Hidden", "Secret", "Notes"])
        self.assertEqual([book[n].sheet_state for n in book.sheetnames],
                         ["visible", "hidden", "veryHidden", "visible"])
        self.assertEqual(book.active.title, "Summary")
        self.assertEqual(book.calculation.calcMode, "manual")
        sheet = book["Summary"]
        self.assertEqual(sheet.sheet_properties.tabColor.rgb, "FF1F4E79")
        protection = sheet.protection
        self.assertTrue(protection.sheet)
        self.assertEqual(protection.password, "DAA7")  # the legacy hash of "secret"
        self.assertFalse(protection.formatColumns)     # the attribute says "locked"
        self.assertTrue(protection.formatCells)
        self.assertTrue(protection.selectLockedCells)
        self.assertEqual([c.value for c in sheet[1]][:3], ["Item", "When", "Amount"])
        self.assertEqual(sheet["B2"].value, datetime.datetime(2024, 2, 29))
        self.assertEqual(sheet["B2"].number_format, "yyyy-mm-dd")
        self.assertEqual(sheet["B3"].value, datetime.datetime(2024, 3, 1, 18, 0))
        self.assertEqual(sheet["B3"].number_format, "yyyy-mm-dd hh:mm:ss")
        self.assertTrue(sheet["A1"].font.bold)
        self.assertEqual(sheet["A2"].font.underline, "doubleAccounting")
        self.assertTrue(sheet["A3"].font.strike)
        self.assertEqual(sheet["C2"].font.vertAlign, "superscript")
        self.assertEqual(sheet["C3"].font.vertAlign, "subscript")
        self.assertEqual([sheet.row_dimensions[r].outlineLevel for r in (1, 2, 3, 4)], [0, 1, 1, 0])
        self.assertEqual(sheet.column_dimensions["B"].outlineLevel, 2)
        self.assertEqual(sheet.sheet_format.outlineLevelRow, 1)
        self.assertEqual(sheet.sheet_format.outlineLevelCol, 2)
        self.assertEqual(sheet.sheet_format.defaultRowHeight, 18)
        self.assertEqual(sheet.sheet_view.zoomScale, 85)
        self.assertFalse(sheet.sheet_view.showGridLines)
        self.assertTrue(sheet.print_options.gridLines)
        self.assertEqual(sheet.page_setup.orientation, "landscape")
        self.assertEqual(int(sheet.page_setup.paperSize), 9)
        self.assertEqual((int(sheet.page_setup.fitToWidth), int(sheet.page_setup.fitToHeight)), (1, 0))
        self.assertTrue(sheet.sheet_properties.pageSetUpPr.fitToPage)
        self.assertEqual((sheet.page_margins.left, sheet.page_margins.top), (0.5, 1))
        self.assertEqual(sheet.oddHeader.center.text, "Quarterly report")
        self.assertEqual(sheet.oddFooter.right.text, "Page &P of &N")
        self.assertEqual(sheet["C2"].number_format, '"EUR "#,##0.00')
        self.assertEqual(sheet["F1"].number_format, "0.0%")
        self.assertTrue(35 < sheet.column_dimensions["G"].width < 50, sheet.column_dimensions["G"].width)
        self.assertTrue(sheet.column_dimensions["A"].width < 10)
        self.assertFalse(book["Hidden"].protection.sheet)
        self.assertIsNone(book["Hidden"].sheet_properties.tabColor)

    def test_features_written_read_and_kept_by_an_edit(self):
        _, _, _, answers = self.run_task(self.features_task())
        self.assertEqual(answers, {"serial": 45351, "day": 29, "lost": "=#REF!",
                                   "sheets": ["Summary", "Hidden", "Secret", "Notes"]})
        self.check_features(self.path("features.xlsx"))
        self.run_task({"input": "features.xlsx", "output": "edited.xlsx",
                       "actions": [{"cmd": "setValue", "sheet": "Summary", "cell": "D1", "value": 1}]})
        self.check_features(self.path("edited.xlsx"))
        self.assertEqual(openpyxl.load_workbook(self.path("edited.xlsx"))["Summary"]["D1"].value, 1)

    def check_objects(self, path, added_sheets=()):
        book = openpyxl.load_workbook(path)
        self.assertEqual(book.sheetnames, ["Summary", "Share", *added_sheets])
        self.assertEqual([sheet.title for sheet in book.chartsheets], ["Share"])
        sheet = book["Summary"]
        self.assertEqual((sheet["B2"].comment.text, sheet["B2"].comment.author), ("Counted twice in March", "Ann"))
        self.assertEqual(sheet["C3"].comment.text, "Estimate")
        self.assertIsNone(sheet["A2"].comment)
        table = sheet.tables["Regions"]
        self.assertEqual((table.ref, table.totalsRowCount, table.tableStyleInfo.name), ("A1:C5", 1, "TableStyleMedium9"))
        self.assertEqual([column.name for column in table.tableColumns], ["Region", "Units", "Revenue"])
        self.assertEqual([column.totalsRowFunction for column in table.tableColumns], [None, "sum", "sum"])
        self.assertEqual((sheet["A5"].value, sheet["C5"].value), ("Total", "=SUBTOTAL(109,C2:C4)"))
        self.assertEqual(len(sheet._charts), 1)
        chart = sheet._charts[0]
        self.assertEqual((type(chart).__name__, chart.barDir, chart.grouping), ("BarChart", "bar", "stacked"))
        self.assertEqual(chart.series[0].val.numRef.f, "Summary!$C$2:$C$4")
        self.assertEqual([point.v for point in chart.series[0].val.numRef.numCache.pt], [1200, 980, 1105])
        self.assertEqual(chart.anchor._from.row, 12)
        self.assertEqual(type(book.chartsheets[0]._charts[0]).__name__, "PieChart")
        # openpyxl drops pictures without Pillow: read the drawing part itself with its parser.
        with zipfile.ZipFile(path) as package:
            drawing = SpreadsheetDrawing.from_tree(fromstring(package.read("xl/drawings/drawing1.xml")))
            media = sorted(name for name in package.namelist() if name.startswith("xl/media/"))
        self.assertEqual(len(media), 2 + len(added_sheets))
        self.assertEqual([anchor._from.col for anchor in drawing.oneCellAnchor], [1])
        self.assertEqual(drawing.oneCellAnchor[0].ext.width, 160 * 9525)
        self.assertEqual([(anchor._from.col, anchor.to.row) for anchor in drawing.twoCellAnchor if anchor.pic],
                         [(5, 4)])

    def test_notes_pictures_charts_and_tables_written_kept_and_rendered(self):
        solid_png(self.path("logo.png"), 40, 20, 30)
        script = "var LOGO = " + json.dumps(self.path("logo.png")) + ";" + OBJECTS_JS
        self.run_task({"output": "objects.xlsx", "actions": [
            {"cmd": "addSheet", "name": "Summary"}, {"cmd": "rawJs", "js": script}]})
        self.check_objects(self.path("objects.xlsx"))
        self.run_task({"input": "objects.xlsx", "output": "objects_edited.xlsx",
                       "actions": [{"cmd": "setValue", "sheet": "Summary", "cell": "E1", "value": "edited"}]})
        self.check_objects(self.path("objects_edited.xlsx"))
        # A sheet added to the opened file takes objects of its own beside the file's.
        extra = ("var e = Api.AddSheet('Extra'); e.GetRange('A1:B3').SetValue([['Item', 'Qty'], ['a', 1], ['b', 2]]);"
                 " e.AddTable('A1:B3', 'Items'); e.GetRange('B2').SetNote('new', 'Bo');"
                 " e.AddChart('line', 'D1:J12', {series: [{values: 'B2:B3', categories: 'A2:A3'}]});"
                 " e.AddImage(" + json.dumps(self.path("logo.png")) + ", 'D14'); Api.GetSheet('Summary').SetActive();")
        self.run_task({"input": "objects.xlsx", "output": "objects_added.xlsx",
                       "actions": [{"cmd": "rawJs", "js": extra}]})
        self.check_objects(self.path("objects_added.xlsx"), ["Extra"])
        added = openpyxl.load_workbook(self.path("objects_added.xlsx"))
        self.assertEqual(added.sheetnames, ["Summary", "Share", "Extra"])
        sheet = added["Extra"]
        self.assertEqual((sheet["B2"].comment.text, sheet["B2"].comment.author), ("new", "Bo"))
        self.assertEqual(sheet.tables["Items"].ref, "A1:B3")
        self.assertEqual(type(sheet._charts[0]).__name__, "LineChart")
        with zipfile.ZipFile(self.path("objects_added.xlsx")) as package:
            names = package.namelist()
            ids = [fromstring(package.read(name)).get("id") for name in names if name.startswith("xl/tables/")]
        self.assertEqual(len(names), len(set(name.lower() for name in names)))
        self.assertEqual(len(ids), 2)
        self.assertEqual(len(set(ids)), 2, ids)
        self.assertEqual(len([name for name in names if name.startswith("xl/media/")]), 3)
        if SOFFICE is None or PDFTOPPM is None:
            self.skipTest("LibreOffice or pdftoppm is not installed: rendering is not checked")
        profile = tempfile.mkdtemp(prefix="sx_e2e_lo_")
        self.addCleanup(shutil.rmtree, profile, True)
        os.makedirs(RENDER_DIR, exist_ok=True)
        names = ("objects", "objects_edited")
        for name in names:
            if os.path.exists(os.path.join(RENDER_DIR, name + ".pdf")):
                os.remove(os.path.join(RENDER_DIR, name + ".pdf"))
        subprocess.run([SOFFICE, f"-env:UserInstallation=file://{profile}/user", "--headless",
                        "--convert-to", "pdf", "--outdir", RENDER_DIR,
                        *[self.path(name + ".xlsx") for name in names]],
                       capture_output=True, text=True, timeout=RUN_TIMEOUT)
        dpi = 40
        for name in names:
            pdf = os.path.join(RENDER_DIR, name + ".pdf")
            self.assertTrue(os.path.exists(pdf), f"LibreOffice made no PDF of {name}")
            for options in (["-png", "-r", "80"], ["-gray", "-r", str(dpi)]):
                subprocess.run([PDFTOPPM, *options, pdf, os.path.join(RENDER_DIR, name)],
                               check=True, timeout=RUN_TIMEOUT)
            # The worksheet's page, then the chart sheet's.
            pages = sorted((page for page in os.listdir(RENDER_DIR) if re.fullmatch(name + r"-0*\d+\.pgm", page)),
                           key=lambda page: int(re.search(r"(\d+)\.pgm$", page).group(1)))
            self.assertEqual(len(pages), 2, pages)
            _, _, rows = pgm_pixels(os.path.join(RENDER_DIR, pages[0]))
            # The picture is solid dark grey; the chart draws bars on white; below them is paper.
            picture = area_pixels(rows, dpi, cell_corner(1, 6), (cell_corner(1, 6)[0] + 160 / 96, cell_corner(1, 6)[1] + 80 / 96))
            self.assertGreater(sum(1 for value in picture if value < 80), len(picture) * 0.9, name + ": no picture at B7")
            chart = area_pixels(rows, dpi, cell_corner(0, 12), cell_corner(6, 26))
            background = area_pixels(rows, dpi, cell_corner(0, 30), cell_corner(6, 44))
            self.assertTrue(all(value > 240 for value in background), name + ": marks below the chart")
            self.assertGreater(sum(1 for value in chart if value < 200), 100, name + ": no chart at A13:F26")
            _, _, share = pgm_pixels(os.path.join(RENDER_DIR, pages[-1]))
            self.assertGreater(sum(1 for row in share for value in row if value < 200), 1000, name + ": the pie is blank")

    def test_example_report_renders(self):
        if SOFFICE is None:
            self.skipTest("LibreOffice (soffice) is not installed: rendering is not checked")
        work = self.path("examples")
        shutil.copytree(os.path.join(SOURCE_DIR, "examples"), work, ignore=shutil.ignore_patterns("out"))
        process = subprocess.run([HELPER, "report.json"], cwd=work, capture_output=True, text=True,
                                 timeout=RUN_TIMEOUT)
        self.assertEqual(process.returncode, 0, process.stderr)
        profile = tempfile.mkdtemp(prefix="sx_e2e_lo_")
        self.addCleanup(shutil.rmtree, profile, True)
        os.makedirs(RENDER_DIR, exist_ok=True)
        pdf = os.path.join(RENDER_DIR, "report.pdf")
        if os.path.exists(pdf):
            os.remove(pdf)
        subprocess.run([SOFFICE, f"-env:UserInstallation=file://{profile}/user", "--headless",
                        "--convert-to", "pdf", "--outdir", RENDER_DIR,
                        os.path.join(work, "out", "report.xlsx")],
                       capture_output=True, text=True, timeout=RUN_TIMEOUT)
        self.assertTrue(os.path.exists(pdf), "LibreOffice made no PDF of the report")
        self.assertGreater(pdf_text_operators(pdf), 5, "the PDF shows no text")
        if PDFTOPPM is None:
            self.skipTest("pdftoppm (poppler-utils) is not installed: the page is not rendered")
        # The PNG is kept in the build folder for people to look at; the check reads the PGM.
        for options in (["-png", "-r", "80"], ["-gray", "-r", "40"]):
            subprocess.run([PDFTOPPM, *options, "-f", "1", "-l", "1", pdf,
                            os.path.join(RENDER_DIR, "report")], check=True, timeout=RUN_TIMEOUT)
        pages = [name for name in os.listdir(RENDER_DIR) if re.fullmatch(r"report-0*1\.pgm", name)]
        self.assertEqual(len(pages), 1, os.listdir(RENDER_DIR))
        width, height, rows = pgm_pixels(os.path.join(RENDER_DIR, pages[0]))
        # The summary table sits at the top left of the first page.
        dark = sum(1 for row in rows[:height // 3] for value in row[:width // 2] if value < 128)
        self.assertGreater(dark, 50, "the top left of the first page is blank")


if __name__ == "__main__":
    unittest.main()
