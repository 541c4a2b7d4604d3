#!/usr/bin/env python3
"""Checks our formula results against LibreOffice's on one fixed data sheet.

Writes a workbook with the data sheet "Data" and every formula of the crosscheck*.txt files on the
sheet "Calc" (column A, one per row), lets LibreOffice calculate and save it, reads the values
it stored, and compares them with what our driver (formula_crosscheck) computes from the same
data. With --engine, the engine also builds that workbook from a script, with the formulas
that use newer functions written as a script writes them (no "_xlfn." prefix), and saves it;
LibreOffice recalculating the saved file must agree with the values the engine stored in it.
Exit 0: all agree (numbers to 1e-9 relative) or differ only as listed in DIFFERENCES;
1: a disagreement; 77: LibreOffice is not installed (reported as skipped, never as passed).
"""
import argparse
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile
from xml.sax.saxutils import escape

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77

# Deliberate differences: formula -> (our value, why). Each is still checked on our side.
BOOLEANS = "LibreOffice keeps booleans as the numbers 1 and 0; a spreadsheet with a boolean type keeps them apart"
EXCEL_ERROR = "the error value Excel gives, where LibreOffice gives another"
DIFFERENCES = {
    "DATE(10000,1,1)": ("e:#NUM!", "LibreOffice accepts years past 9999; spreadsheets stop at 9999-12-31"),
    "POWER(0,0)": ("e:#NUM!", "LibreOffice returns 1; Excel-compatible files expect #NUM!"),
    "YEAR(-1)": ("e:#NUM!", "LibreOffice has dates before 1900; the 1900 date system starts at serial 0"),
    "FIND(\"\",\"abc\")": ("n:1", "an empty search text is found at the start position, as in Excel"),
    "SUM(1,\"2\",TRUE)": ("n:4", "numbers given as text or booleans directly are counted, as in Excel"),
    "PRODUCT(2,\"3\",TRUE)": ("n:6", "numbers given as text or booleans directly are counted, as in Excel"),
    "SQRT(-4)": ("e:#NUM!", EXCEL_ERROR),
    "LOG(-1)": ("e:#NUM!", EXCEL_ERROR),
    "LARGE(Data!A1:A20,0)": ("e:#NUM!", EXCEL_ERROR),
    "SMALL(Data!E1:E20,21)": ("e:#NUM!", EXCEL_ERROR),
    "CODE(\"\")": ("e:#VALUE!", EXCEL_ERROR),
    "SUM(Data!A1:A5 Data!C1:C5)": ("e:#NULL!", "ranges that do not intersect are #NULL!, as in Excel"),
    "SUM(Data!A1:B2 Data!D5:E6)": ("e:#NULL!", "ranges that do not intersect are #NULL!, as in Excel"),
    "SUM(Data!A1:A3,Data!B1:B3 Data!A1:A3)": ("e:#NULL!", "ranges that do not intersect are #NULL!, as in Excel"),
    "VLOOKUP(30,Data!E1:F20,3,FALSE)": ("e:#REF!", EXCEL_ERROR),
    "INDEX(Data!E1:F20,21,1)": ("e:#REF!", EXCEL_ERROR),
    "ACOSH(0.5)": ("e:#NUM!", EXCEL_ERROR),
    "ATANH(1)": ("e:#NUM!", EXCEL_ERROR),
    "FACT(-1)": ("e:#NUM!", EXCEL_ERROR),
    "COMBIN(3,5)": ("e:#NUM!", EXCEL_ERROR),
    "ATAN2(0,0)": ("e:#DIV/0!", EXCEL_ERROR),
    "MODE(Data!A1:A20)": ("e:#N/A", EXCEL_ERROR),
    "MODE(Data!E1:E5)": ("e:#N/A", EXCEL_ERROR),
    "OFFSET(Data!A1,-1,0)": ("e:#REF!", EXCEL_ERROR),
    "SUM(OFFSET(Data!A1,0,0,0,1))": ("e:#REF!", EXCEL_ERROR),
    "1&TRUE": ("t:1TRUE", BOOLEANS),
    "\"z\"<TRUE": ("b:TRUE", BOOLEANS),
    "Data!C1=1": ("b:FALSE", BOOLEANS),
    "SUM(Data!A1:C20)": ("n:310.5", BOOLEANS),
    "AVERAGE(Data!C1:C10)": ("n:3.5", BOOLEANS),
    "COUNT(Data!A1:C20)": ("n:25", BOOLEANS),
    "COUNT(Data!C1:C20)": ("n:5", BOOLEANS),
    "SUMPRODUCT(ISNUMBER(Data!C1:C20)*1)": ("n:5", BOOLEANS),
    "CONCATENATE(1,TRUE,2.5)": ("t:1TRUE2.5", BOOLEANS),
    "TEXTJOIN(\"/\",TRUE,Data!C1:C6)": ("t:TRUE/42/FALSE/text/7", BOOLEANS),
}

LACKS = "LibreOffice 7.4 does not have this function (or this mode of it); the value is the desktop application's"
READS_TEXT = "the desktop application (en-US) reads this text as a number or date; LibreOffice does not"
DIFFERENCES.update({
    "IPMT(0.05,0,10,1000)": ("e:#NUM!", EXCEL_ERROR),
    "CUMIPMT(0.09/12,360,125000,1,1,2)": ("e:#NUM!", EXCEL_ERROR),
    "IRR({100,200})": ("e:#NUM!", EXCEL_ERROR),
    "IRR(Data!A1:A5)": ("e:#NUM!", EXCEL_ERROR),
    "MIRR({100,200},0.1,0.1)": ("e:#DIV/0!", EXCEL_ERROR),
    "XNPV(0.09,{-10000,2750},{39448})": ("e:#NUM!", EXCEL_ERROR),
    "EFFECT(0.1,0)": ("e:#NUM!", EXCEL_ERROR),
    "PDURATION(0,2000,2200)": ("e:#NUM!", EXCEL_ERROR),
    "ISPMT(0.1,0,0,100)": ("e:#DIV/0!", EXCEL_ERROR),
    "SYD(30000,7500,10,11)": ("e:#NUM!", "a period past the life is #NUM! in Excel; LibreOffice gives 0"),
    "DB(1000000,100000,6,7)": ("e:#NUM!", "a period past the life is #NUM! in Excel; LibreOffice gives 0"),
    "VDB(2400,300,10,11,12)": ("e:#NUM!", EXCEL_ERROR),
    "DATEDIF(DATE(2002,8,15),DATE(2001,6,1),\"D\")": ("e:#NUM!", EXCEL_ERROR),
    "DATEDIF(DATE(2001,6,1),DATE(2002,8,15),\"X\")": ("e:#NUM!", EXCEL_ERROR),
    "TIME(0,-1,0)": ("e:#NUM!", EXCEL_ERROR),
    "WEEKNUM(DATE(2024,3,9),3)": ("e:#NUM!", EXCEL_ERROR),
    "WEEKNUM(DATE(2024,12,31),15)": ("n:53", "weeks starting on Friday with week 1 holding January 1st, as Excel counts; LibreOffice gives 1"),
    "YEARFRAC(DATE(2012,1,1),DATE(2012,7,30),5)": ("e:#NUM!", EXCEL_ERROR),
    "NUMBERVALUE(\"\")": ("n:0", "Excel reads an empty text as 0"),
    "NUMBERVALUE(\"3.5%\")": ("n:0.035000000000000003", "Excel divides by 100 for a trailing percent sign"),
    "UNICHAR(0)": ("e:#VALUE!", EXCEL_ERROR),
    "TYPE(TRUE)": ("n:4", BOOLEANS),
    "DOLLAR(-1234.567)": ("t:($1,234.57)", "Excel's (en-US) currency format puts negative amounts in parentheses"),
    "ADDRESS(1,1,1,TRUE,\"Data\")": ("t:Data!$A$1", "Excel writes the sheet with \"!\"; LibreOffice uses its own \".\""),
    "ADDRESS(1,1,1,TRUE,\"My Sheet\")": ("t:'My Sheet'!$A$1", "Excel writes the sheet with \"!\"; LibreOffice uses its own \".\""),
    "ADDRESS(1,1,1,TRUE,\"O'Brien\")": ("t:'O''Brien'!$A$1", "Excel writes the sheet with \"!\"; LibreOffice uses its own \".\""),
    "LOOKUP(2,{1;2;3},{\"x\",\"y\",\"z\"})": ("t:y", "Excel takes a result vector of the other orientation"),
    "DATEVALUE(\"1 Mar 2024\")": ("n:45352", READS_TEXT),
    "\"3 Jan 2024\"+0": ("n:45294", READS_TEXT),
    "MONTH(\"3 Jan 2024\")": ("n:1", READS_TEXT),
    "NETWORKDAYS.INTL(DATE(2024,3,1),DATE(2024,3,31),7)": ("n:21", LACKS),
    "NETWORKDAYS.INTL(DATE(2024,3,1),DATE(2024,3,31),11)": ("n:26", LACKS),
    "NETWORKDAYS.INTL(DATE(2024,3,1),DATE(2024,3,31),\"0000011\")": ("n:21", LACKS),
    "NETWORKDAYS.INTL(DATE(2024,3,1),DATE(2024,3,31),\"1010100\",{45352})": ("n:18", LACKS),
    "NETWORKDAYS.INTL(DATE(2024,3,1),DATE(2024,3,31),\"1111111\")": ("e:#VALUE!", LACKS),
    "NETWORKDAYS.INTL(DATE(2024,3,1),DATE(2024,3,31),8)": ("e:#NUM!", LACKS),
    "WORKDAY.INTL(DATE(2024,3,1),10,7)": ("n:45365", LACKS),
    "WORKDAY.INTL(DATE(2024,3,1),10,\"0000111\")": ("n:45370", LACKS),
    "WORKDAY.INTL(DATE(2024,3,1),-3,14)": ("n:45348", LACKS),
    "TEXTBEFORE(\"Red riding hood's red hood\",\"hood\")": ("t:Red riding ", LACKS),
    "TEXTBEFORE(\"Red riding hood's red hood\",\"red\",2)": ("e:#N/A", LACKS),
    "TEXTBEFORE(\"Red riding hood's red hood\",\"red\",1,1)": ("t:", LACKS),
    "TEXTBEFORE(\"Red riding hood's red hood\",\"hood\",-1)": ("t:Red riding hood's red ", LACKS),
    "TEXTBEFORE(\"a-b-c\",\"x\")": ("e:#N/A", LACKS),
    "TEXTBEFORE(\"a-b-c\",\"x\",1,0,1)": ("t:a-b-c", LACKS),
    "TEXTBEFORE(\"a-b-c\",\"x\",1,0,0,\"none\")": ("t:none", LACKS),
    "TEXTBEFORE(\"a-b_c\",{\"_\",\"-\"},2)": ("t:a-b", LACKS),
    "TEXTAFTER(\"Red riding hood's red hood\",\"hood\")": ("t:'s red hood", LACKS),
    "TEXTAFTER(\"Red riding hood's red hood\",\"HOOD\",1,1)": ("t:'s red hood", LACKS),
    "TEXTAFTER(\"Red riding hood's red hood\",\"hood\",-2)": ("t:'s red hood", LACKS),
    "TEXTAFTER(\"a-b-c\",\"-\",3)": ("e:#N/A", LACKS),
    "TEXTAFTER(\"a-b-c\",\"-\",0)": ("e:#VALUE!", LACKS),
    "XMATCH(40,Data!E1:E20)": ("n:4", LACKS),
    "XMATCH(45,Data!E1:E20,-1)": ("n:4", LACKS),
    "XMATCH(45,Data!E1:E20,1)": ("n:5", LACKS),
    "XMATCH(\"v3*\",Data!F1:F20,2)": ("n:3", LACKS),
    "XMATCH(40,Data!E1:E20,0,-1)": ("n:4", LACKS),
    "XMATCH(45,Data!E1:E20,0)": ("e:#N/A", LACKS),
    "XMATCH(130,Data!E1:E20,0,2)": ("n:13", LACKS),
    "XMATCH(135,Data!E1:E20,-1,2)": ("n:13", LACKS),
    "XMATCH(135,Data!E1:E20,1,2)": ("n:14", LACKS),
    "XMATCH(40,{50,40,30,20,10},0,-2)": ("n:2", LACKS),
    "XLOOKUP(130,Data!E1:E20,Data!F1:F20,\"none\",0,2)": ("t:v130", LACKS),
    "XLOOKUP(131,Data!E1:E20,Data!F1:F20,\"none\",0,2)": ("t:none", LACKS),
    "INDEX(TEXTSPLIT(\"a,b;c\",\",\",\";\"),1,2)": ("t:b", LACKS),
})

# The math, statistics and engineering functions (crosscheck_math_statistics.txt).
DIFFERENCES.update({
    "SUBTOTAL(2,Data!A1:C20)": ("n:25", BOOLEANS),
    "CORREL(Data!C1:C20,Data!E1:E20)": ("n:0.69633382467271743", BOOLEANS),
    "ISO.CEILING(4.3,-2)": ("n:6", "LibreOffice does not read the \"_xlfn.\" prefix files give ISO.CEILING"),
    "COMBINA(0,0)": ("n:1", "C(n+k-1, k) is 1 for k = 0, as in Excel"),
    "MROUND(5,-2)": ("e:#NUM!", "a number and a multiple of different signs are #NUM! in Excel"),
    "BITAND(1.5,1)": ("e:#NUM!", "Excel's bit functions take whole numbers only"),
    "PERCENTRANK(Data!A1:A20,5)": ("n:0.47299999999999998", "Excel cuts the rank to the digits asked for; LibreOffice rounds"),
})
for _formula in ["MINVERSE({1,2;2,4})", "FACTDOUBLE(-1)", "SQRTPI(-1)", "BASE(-1,2)", "DECIMAL(\"12\",2)",
                 "ACOTH(0.5)", "PERMUT(3,5)", "GCD(-1,2)", "PERCENTILE.EXC(Data!A1:A20,0.01)",
                 "PERCENTILE(Data!A1:A20,1.5)", "QUARTILE.EXC(Data!A1:A20,4)", "GEOMEAN(Data!A1:A20)",
                 "PROB({0,1},{0.5,0.6},1)", "NORM.INV(0,0,1)", "BINOM.DIST(11,10,0.5,TRUE)", "GAMMA(0)",
                 "HEX2DEC(\"G1\")", "HEX2BIN(\"200\")", "DEC2HEX(100,1)", "DEC2BIN(512)", "BIN2DEC(2)",
                 "BITAND(-1,1)"]:
    DIFFERENCES[_formula] = ("e:#NUM!", EXCEL_ERROR)
for _formula in ["SUMXMY2({1,2},{1,2,3})", "RANK(999,Data!A1:A20)", "PERCENTRANK(Data!A1:A20,1000)",
                 "MODE.MULT({1,2,3})", "SLOPE(Data!A1:A19,Data!E1:E20)"]:
    DIFFERENCES[_formula] = ("e:#N/A", EXCEL_ERROR)
for _formula in ["COT(0)", "QUOTIENT(1,0)"]:
    DIFFERENCES[_formula] = ("e:#DIV/0!", EXCEL_ERROR)
DIFFERENCES["T.TEST(Data!A1:A5,Data!E1:E5,3,1)"] = ("e:#NUM!", EXCEL_ERROR)
DIFFERENCES["GROWTH(Data!A1:A20,Data!E1:E20,5)"] = ("e:#NUM!", EXCEL_ERROR)
DIFFERENCES["LINEST(Data!A1:A20,Data!E1:E19)"] = ("e:#REF!", EXCEL_ERROR)
DIFFERENCES["CHISQ.TEST({1,2},{1,2,3})"] = ("e:#N/A", EXCEL_ERROR)
DIFFERENCES["CONVERT(2.5,\"ft\",\"sec\")"] = ("e:#N/A", EXCEL_ERROR)
DIFFERENCES["CONVERT(1,\"xyz\",\"m\")"] = ("e:#N/A", EXCEL_ERROR)
EXACT_UNITS = "Excel converts by the exact definitions of the units; LibreOffice by older approximations"
for _formula, _value in [("CONVERT(1,\"lbm\",\"kg\")", "n:0.45359237000000002"),
                         ("CONVERT(1,\"psi\",\"Pa\")", "n:6894.7572931683608"),
                         ("CONVERT(1,\"BTU\",\"J\")", "n:1055.05585262"),
                         ("CONVERT(1,\"HP\",\"W\")", "n:745.69987158227002"),
                         ("CONVERT(1,\"cal\",\"J\")", "n:4.1867999999999999"),
                         ("CONVERT(1,\"lbf\",\"N\")", "n:4.4482216152604996"),
                         ("CONVERT(1,\"stone\",\"lbm\")", "n:14"),
                         ("CONVERT(1,\"ton\",\"kg\")", "n:907.18474000000003"),
                         ("CONVERT(1,\"sg\",\"kg\")", "n:14.593902937206364"),
                         ("CONVERT(1,\"ly\",\"km\")", "n:9460730472580.8008"),
                         ("CONVERT(1,\"PS\",\"W\")", "n:735.49874999999997"),
                         ("CONVERT(1,\"Torr\",\"Pa\")", "n:133.32236842105263"),
                         ("CONVERT(1,\"ell\",\"m\")", "n:1.143"),
                         ("CONVERT(1,\"grain\",\"mg\")", "n:64.798910000000006"),
                         ("CONVERT(1,\"admkn\",\"kn\")", "n:1.0006393088552916")]:
    DIFFERENCES[_formula] = (_value, EXACT_UNITS)

NUMBERS = [3, -1.5, 7, 0, 12.25, 5, 8, -4, 100, 2.5, 6, 9, 1, 15, 3.75, 20, -7, 11, 4, 10]
TEXTS = ["apple", "Banana", "cherry", "date", "elderberry", "fig", "grape", "apple pie", "kiwi",
         "lemon", "mango", "Apple", "nectarine", "orange", "papaya", "quince", "raspberry",
         "  spaced   text ", "tomato", "a*b"]
MIXED = [True, "42", None, False, "text", 7, None, "3.5", 0, "", -2, True, None, "abc", 1.5,
         None, "TRUE", 99, None, "x"]
REGIONS = ["east", "west", "north", "south"]


def serial(day):
    return (day - datetime.date(1899, 12, 30)).days


def data_cells():
    """(row, column, kind, value) for every stored cell of the data sheet, 0-based."""
    cells = []
    first = datetime.date(2023, 11, 5)
    for row in range(20):
        cells.append((row, 0, "n", NUMBERS[row]))
        cells.append((row, 1, "t", TEXTS[row]))
        mixed = MIXED[row]
        if isinstance(mixed, bool):
            cells.append((row, 2, "b", mixed))
        elif isinstance(mixed, (int, float)):
            cells.append((row, 2, "n", mixed))
        elif mixed:
            cells.append((row, 2, "t", mixed))
        cells.append((row, 3, "n", serial(first + datetime.timedelta(days=37 * row))))
        cells.append((row, 4, "n", 10 * (row + 1)))
        cells.append((row, 5, "t", "v%d" % (10 * (row + 1))))
        cells.append((row, 7, "t", REGIONS[row % 4]))
    for row, error in enumerate(["#N/A", "#DIV/0!", "#VALUE!"]):
        cells.append((row, 6, "e", error))
    cells.append((3, 6, "n", 1))
    cells.append((0, 8, "n", 0.2))
    return cells


NAMES = [("Prices", "Data!$A$1:$A$20"), ("Fruit", "Data!$B$1:$B$20"), ("TaxRate", "Data!$I$1")]


def newer_functions():
    """Functions a file must name with the "_xlfn." prefix, as the engine's own list names them."""
    source = os.path.join(HERE, "..", "..", "src", "formula", "function_names.cpp")
    with open(source, encoding="utf-8") as text:
        block = re.search(r"kNewerFunctions\[\] = \{(.*?)\};", text.read(), re.S).group(1)
    names = re.findall(r'u"([A-Z0-9.]+)"', block)
    if len(names) < 10:
        raise SystemExit("could not read the list of newer functions from " + source)
    return names


NEWER_FUNCTIONS = newer_functions()


def column_name(column):
    name = ""
    column += 1
    while column:
        column, rest = divmod(column - 1, 26)
        name = chr(65 + rest) + name
    return name


def file_formula(formula):
    for name in NEWER_FUNCTIONS:
        formula = re.sub(r"(?<![A-Za-z._])" + re.escape(name) + r"\(", "_xlfn." + name + "(", formula)
    return formula


def cell_xml(row, column, kind, value):
    ref = column_name(column) + str(row + 1)
    if kind == "n":
        return '<c r="%s"><v>%r</v></c>' % (ref, float(value))
    if kind == "b":
        return '<c r="%s" t="b"><v>%d</v></c>' % (ref, 1 if value else 0)
    if kind == "e":
        return '<c r="%s" t="e"><v>%s</v></c>' % (ref, escape(value))
    return '<c r="%s" t="inlineStr"><is><t xml:space="preserve">%s</t></is></c>' % (ref, escape(value))


def sheet_xml(rows):
    body = "".join('<row r="%d">%s</row>' % (r + 1, "".join(cells)) for r, cells in sorted(rows.items()))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
            '<sheetData>%s</sheetData></worksheet>' % body)


def write_workbook(path, formulas):
    data_rows = {}
    for row, column, kind, value in sorted(data_cells(), key=lambda c: (c[0], c[1])):
        data_rows.setdefault(row, []).append(cell_xml(row, column, kind, value))
    calc_rows = {i: ['<c r="A%d"><f>%s</f></c>' % (i + 1, escape(file_formula(f)))] for i, f in enumerate(formulas)}
    names = "".join('<definedName name="%s">%s</definedName>' % (n, escape(r)) for n, r in NAMES)
    main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        package.writestr("[Content_Types].xml",
                         '<?xml version="1.0" encoding="UTF-8"?>'
                         '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                         '<Default Extension="xml" ContentType="application/xml"/>'
                         '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                         '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
                         '<Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
                         '</Types>')
        package.writestr("_rels/.rels",
                         '<?xml version="1.0" encoding="UTF-8"?>'
                         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                         '<Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/>'
                         '</Relationships>' % rel)
        package.writestr("xl/workbook.xml",
                         '<?xml version="1.0" encoding="UTF-8"?>'
                         '<workbook xmlns="%s" xmlns:r="%s"><sheets>'
                         '<sheet name="Data" sheetId="1" r:id="rId1"/><sheet name="Calc" sheetId="2" r:id="rId2"/>'
                         '</sheets><definedNames>%s</definedNames><calcPr fullCalcOnLoad="1"/></workbook>' % (main, rel, names))
        package.writestr("xl/_rels/workbook.xml.rels",
                         '<?xml version="1.0" encoding="UTF-8"?>'
                         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                         '<Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>'
                         '<Relationship Id="rId2" Type="%s/worksheet" Target="worksheets/sheet2.xml"/>'
                         '</Relationships>' % (rel, rel))
        package.writestr("xl/worksheets/sheet1.xml", sheet_xml(data_rows))
        package.writestr("xl/worksheets/sheet2.xml", sheet_xml(calc_rows))


def write_data_text(path):
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("sheet\tData\nsheet\tCalc\n")
        for row, column, kind, value in data_cells():
            if kind == "n":
                value = repr(float(value))
            elif kind == "b":
                value = "TRUE" if value else "FALSE"
            out.write("cell\t0\t%d\t%d\t%s\t%s\n" % (row, column, kind, value))
        for name, reference in NAMES:
            out.write("name\t%s\t%s\n" % (name, reference))


def recalculating_profile(profile):
    """A private LibreOffice profile that recalculates every formula of an xlsx file on load."""
    user = os.path.join(profile, "user")
    os.makedirs(user, exist_ok=True)
    with open(os.path.join(user, "registrymodifications.xcu"), "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>'
                  '<oor:items xmlns:oor="http://openoffice.org/2001/registry" '
                  'xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
                  '<item oor:path="/org.openoffice.Office.Calc/Formula/Load">'
                  '<prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>'
                  '</oor:items>')


def libreoffice_calculate(soffice, sources, work):
    """Has LibreOffice recalculate and save every source in one run; the saved paths."""
    profile = os.path.join(work, "profile")
    recalculating_profile(profile)
    out_dir = os.path.join(work, "calculated")
    os.makedirs(out_dir, exist_ok=True)
    subprocess.run([soffice, "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                    "--convert-to", "xlsx", "--outdir", out_dir] + sources,
                   check=True, timeout=300, stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
    return [os.path.join(out_dir, os.path.basename(source)) for source in sources]


def calc_values(path):
    """The values stored for column A of the sheet "Calc", by 0-based row."""
    ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
    with zipfile.ZipFile(path) as package:
        shared = []
        if "xl/sharedStrings.xml" in package.namelist():
            for item in ET.fromstring(package.read("xl/sharedStrings.xml")).findall("m:si", ns):
                shared.append("".join(t.text or "" for t in item.iter("{%s}t" % ns["m"])))
        workbook = ET.fromstring(package.read("xl/workbook.xml"))
        sheets = [s.get("name") for s in workbook.find("m:sheets", ns)]
        sheet_xml_name = "xl/worksheets/sheet%d.xml" % (sheets.index("Calc") + 1)
        values = {}
        for cell in ET.fromstring(package.read(sheet_xml_name)).iter("{%s}c" % ns["m"]):
            ref = cell.get("r")
            if not ref.startswith("A"):
                continue
            kind = cell.get("t", "n")
            v = cell.find("m:v", ns)
            text = v.text if v is not None and v.text is not None else ""
            if kind == "s":
                values[int(ref[1:]) - 1] = "t:" + shared[int(text)]
            elif kind in ("str", "inlineStr"):
                values[int(ref[1:]) - 1] = "t:" + text
            elif kind == "b":
                values[int(ref[1:]) - 1] = "b:" + ("TRUE" if text == "1" else "FALSE")
            elif kind == "e":
                values[int(ref[1:]) - 1] = "e:" + text
            else:
                values[int(ref[1:]) - 1] = "n:" + text if text else "t:"
        return values


def uses_newer_function(formula):
    return any(re.search(r"(?<![A-Za-z._])" + re.escape(name) + r"\(", formula)
               for name in NEWER_FUNCTIONS)


def engine_workbook(engine, formulas, work):
    """Has the engine build the data sheet and the formulas from a script and save them."""
    target = os.path.join(work, "engine.xlsx")
    lines = ["builder.CreateFile('xlsx');", "var data = Api.GetActiveSheet(); data.SetName('Data');"]
    for row, column, kind, value in data_cells():
        if kind == "e":
            value = "=" + value
        lines.append("data.GetRangeByNumber(%d, %d).SetValue(%s);" % (row, column, json.dumps(value)))
    for name, reference in NAMES:
        lines.append("data.AddDefName(%s, %s);" % (json.dumps(name), json.dumps(reference)))
    lines.append("var calc = Api.AddSheet('Calc');")
    for row, formula in enumerate(formulas):
        lines.append("calc.GetRangeByNumber(%d, 0).SetValue(%s);" % (row, json.dumps("=" + formula)))
    lines.append("builder.SaveFile('xlsx', %s); builder.CloseFile();" % json.dumps(target))
    script = os.path.join(work, "engine.js")
    with open(script, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    subprocess.run([engine, script], check=True, timeout=120)
    return target


def agree(ours, theirs):
    if ours == theirs:
        return True
    if ours.startswith("n:") and theirs.startswith("n:"):
        a, b = float(ours[2:]), float(theirs[2:])
        return abs(a - b) <= 1e-9 * max(1.0, abs(a), abs(b))
    return False


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--engine", help="scriptorix.exe: also check the workbooks it saves")
    args = parser.parse_args()
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    if not soffice:
        print("SKIPPED: LibreOffice (soffice) is not installed; the formula cross-check needs it "
              "(Debian package libreoffice-calc-nogui)")
        return SKIP
    formulas = []
    for name in sorted(os.listdir(HERE)):
        if name.startswith("crosscheck") and name.endswith(".txt"):
            with open(os.path.join(HERE, name), encoding="ascii") as corpus:
                formulas += [line.rstrip("\n") for line in corpus if line.strip()]
    os.makedirs(args.work, exist_ok=True)
    work = tempfile.mkdtemp(dir=args.work)
    all_formulas = os.path.join(work, "formulas.txt")
    with open(all_formulas, "w", encoding="ascii") as out:
        out.write("".join(formula + "\n" for formula in formulas))
    source = os.path.join(work, "crosscheck.xlsx")
    write_workbook(source, formulas)
    data_text = os.path.join(work, "data.txt")
    write_data_text(data_text)
    sources = [source]
    newer = [f for f in formulas if uses_newer_function(f)]
    if args.engine:
        sources.append(engine_workbook(args.engine, newer, work))
    calculated = libreoffice_calculate(soffice, sources, work)
    expected = calc_values(calculated[0])
    run = subprocess.run([args.driver, data_text, all_formulas],
                         check=True, capture_output=True, text=True, timeout=120)
    ours = run.stdout.split("\n")
    failures = 0
    deliberate = 0
    for i, formula in enumerate(formulas):
        mine = ours[i] if i < len(ours) else "<missing>"
        theirs = expected.get(i, "<missing>")
        if formula in DIFFERENCES:
            wanted, why = DIFFERENCES[formula]
            deliberate += 1
            if mine != wanted:
                failures += 1
                print("FAIL %s: ours %s, expected deliberately %s (%s)" % (formula, mine, wanted, why))
            elif agree(mine, theirs):
                failures += 1
                print("FAIL %s: listed as a difference but LibreOffice agrees (%s)" % (formula, theirs))
            continue
        if not agree(mine, theirs):
            failures += 1
            print("FAIL %s: ours %s, LibreOffice %s" % (formula, mine, theirs))
    if args.engine:
        # What the engine stored in the file it saved, against LibreOffice recalculating it.
        stored, recalculated = calc_values(sources[1]), calc_values(calculated[1])
        for i, formula in enumerate(newer):
            mine, theirs = stored.get(i, "<missing>"), recalculated.get(i, "<missing>")
            if formula in DIFFERENCES:
                continue  # checked above against our deliberate value
            if not agree(mine, theirs):
                failures += 1
                print("FAIL saved %s: stored %s, LibreOffice recalculating %s" % (formula, mine, theirs))
        print("%d saved formulas with newer functions checked" % len(newer))
        if not newer:
            failures += 1
    unused = [f for f in DIFFERENCES if f not in formulas]
    for formula in unused:
        failures += 1
        print("FAIL listed difference is not in the corpus: %s" % formula)
    checked = len(formulas) - deliberate
    print("%d passed, %d failed (%d formulas, %d deliberate differences)" %
          (len(formulas) - failures, failures, len(formulas), deliberate))
    shutil.rmtree(work, ignore_errors=True)
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
