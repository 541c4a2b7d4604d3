"""Real workbooks from other projects' test suites: each is opened by the engine, one cell is
edited, and the result is saved. Nothing else may change: every part stays, every written XML
part is well-formed, constant cells keep value and type, the sheet order stays, and openpyxl and
LibreOffice read the result. Files broken on purpose must fail with a message, never crash."""

import csv
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import warnings
import xml.parsers.expat
import zipfile
from concurrent.futures import ProcessPoolExecutor, ThreadPoolExecutor

import openpyxl
from openpyxl.worksheet._reader import WorkSheetParser

BUILD_DIR = os.environ.get("ZQ_BUILD_DIR", "")
SOURCE_DIR = os.environ.get("ZQ_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..", ".."))
CORPUS = os.environ.get("ZQ_CORPUS_DIR") or os.path.join(SOURCE_DIR, "..", "shared", "corpus")
ENGINE = os.path.join(BUILD_DIR, "runtime", "scriptorix.exe")
SOFFICE = shutil.which("soffice") or shutil.which("libreoffice")
ENGINE_TIMEOUT = 60
LIBREOFFICE_BATCH = 150

CHECKS = ("opens", "keeps_parts", "well_formed", "schema_order", "sheet_order", "constants", "openpyxl_reads",
          "libreoffice_converts")
EDITED_TEXT = "corpus edit"
ESCAPE = re.compile("_x([0-9A-Fa-f]{4})_")

# file -> {check: reason}. A listed check that passes fails the test too, so the list only shrinks.
NOT_OPENED = CHECKS
LIBREOFFICE_TOO_SLOW = {"xlsxwrit__comment03.xlsx"}
EXPECTED_FAILURES = {
    "calamine__issue252.xlsx": dict.fromkeys(
        NOT_OPENED, "xl/_rels/workbook.xml.rels fails its CRC check; damaged entries are refused"),
    "exceljs__missing-bits.xlsx": dict.fromkeys(
        NOT_OPENED, "two worksheet parts without [Content_Types].xml or a workbook part"),
    "xlsxwrit__comment03.xlsx": {
        "libreoffice_converts": "not given to LibreOffice: a note at XFD1048576 keeps it busy for "
                                "minutes"},
    "poi__sample-beta.xlsx": {
        "constants": "openpyxl reads no cells of this Excel 2007 beta namespace input, so every cell "
                     "of the output counts as added"},
}


def normalized(name):
    return name.replace("\\", "/").lower()


def read_manifest():
    with open(os.path.join(CORPUS, "manifest.tsv"), encoding="utf-8", newline="") as file:
        return list(csv.DictReader(file, delimiter="\t"))


def edit_script(source, target, fmt):
    # The edited cell is the first empty one of column A on the active sheet: no constant is
    # overwritten and the used range grows by at most one row.
    return (f"builder.OpenFile({json.dumps(source)});\n"
            "var sheet = Api.GetActiveSheet();\n"
            "var row = 1;\n"
            "while (row < 1048576 && (sheet.GetRange('A' + row).GetValue() !== ''"
            " || sheet.GetRange('A' + row).GetFormula() !== '')) row++;\n"
            f"sheet.GetRange('A' + row).SetValue({json.dumps(EDITED_TEXT)});\n"
            f"builder.SaveFile({json.dumps(fmt)}, {json.dumps(target)});\n"
            "builder.CloseFile();\n")


def save_format(source):
    """xlsm for a macro-enabled workbook whatever its extension (it keeps its VBA), xltx for a
    template, else xlsx."""
    extension = os.path.splitext(source)[1].lower().lstrip(".")
    try:
        with zipfile.ZipFile(source) as archive:
            names = {normalized(n): n for n in archive.namelist()}
            types = archive.read(names["[content_types].xml"]).decode("utf-8", "replace")
        if "macroEnabled.main+xml" in types:
            return "xlsm"
    except (zipfile.BadZipFile, KeyError, OSError):
        pass
    return extension if extension in ("xlsm", "xltx") else "xlsx"


def run_engine(name, folder):
    source = os.path.join(CORPUS, "files", name)
    target = os.path.join(folder, "out", name)
    script = os.path.join(folder, "scripts", name + ".js")
    with open(script, "w", encoding="utf-8") as file:
        file.write(edit_script(source, target, save_format(source)))
    try:
        process = subprocess.run([ENGINE, script], cwd=folder, capture_output=True, timeout=ENGINE_TIMEOUT)
    except subprocess.TimeoutExpired:
        return {"exit": "timeout", "stderr": "", "output": None}
    return {"exit": process.returncode, "stderr": process.stderr.decode("utf-8", "replace").strip(),
            "output": target if process.returncode == 0 and os.path.exists(target) else None}


def parts(path):
    with zipfile.ZipFile(path) as archive:
        return {normalized(info.filename): info.filename for info in archive.infolist()
                if not info.filename.endswith("/")}


def badly_formed_parts(source, output):
    """XML parts the engine wrote (those not carried through byte for byte) that expat rejects."""
    with zipfile.ZipFile(source) as archive:
        carried = {normalized(info.filename): archive.read(info) for info in archive.infolist()}
    bad = []
    with zipfile.ZipFile(output) as archive:
        for info in archive.infolist():
            if not info.filename.endswith((".xml", ".rels", ".vml")):
                continue
            data = archive.read(info)
            if carried.get(normalized(info.filename)) == data:
                continue
            parser = xml.parsers.expat.ParserCreate()
            try:
                parser.Parse(data, True)
            except xml.parsers.expat.ExpatError as error:
                bad.append(f"{info.filename}: {error}")
    return bad


MAIN_NAMESPACES = ("http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                   "http://purl.oclc.org/ooxml/spreadsheetml/main")
# The children of <worksheet> and <workbook> in the order their schema types give.
WORKSHEET_ORDER = (
    "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr", "sheetProtection",
    "protectedRanges", "scenarios", "autoFilter", "sortState", "dataConsolidate", "customSheetViews", "mergeCells",
    "phoneticPr", "conditionalFormatting", "dataValidations", "hyperlinks", "printOptions", "pageMargins",
    "pageSetup", "headerFooter", "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors",
    "smartTags", "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects", "controls",
    "webPublishItems", "tableParts", "extLst")
WORKBOOK_ORDER = (
    "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets", "functionGroups",
    "externalReferences", "definedNames", "calcPr", "oleSize", "customWorkbookViews", "pivotCaches", "smartTagPr",
    "smartTagTypes", "webPublishing", "fileRecoveryPr", "webPublishObjects", "extLst")
# Elements that may repeat; any other appears at most once.
REPEATING = {"conditionalFormatting"}


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


def order_faults(root, order):
    """Where the root's schema children are out of order or repeated (other namespaces, such as
    mc:AlternateContent, are not the schema's and are left alone)."""
    names = [local_name(child.tag) for child in root
             if child.tag.startswith("{") and child.tag[1:].split("}")[0] in MAIN_NAMESPACES
             and local_name(child.tag) in order]
    faults = [f"{a} before {b}" for a, b in zip(names, names[1:]) if order.index(a) > order.index(b)]
    faults += [f"{name} twice" for name in sorted(set(names))
               if name not in REPEATING and names.count(name) > 1]
    return faults


def schema_order_faults(source, output):
    """Written worksheet and workbook parts whose children break their schema's order."""
    import xml.etree.ElementTree as tree
    with zipfile.ZipFile(source) as archive:
        carried = {normalized(info.filename): archive.read(info) for info in archive.infolist()}
    faults = []
    with zipfile.ZipFile(output) as archive:
        for info in archive.infolist():
            data = archive.read(info)
            if carried.get(normalized(info.filename)) == data or not info.filename.endswith(".xml"):
                continue
            root = tree.fromstring(data)
            order = {"worksheet": WORKSHEET_ORDER, "workbook": WORKBOOK_ORDER}.get(local_name(root.tag))
            if order:
                faults += [f"{info.filename}: {fault}" for fault in order_faults(root, order)]
    return faults


def sheet_entries(path):
    """Names of the workbook's sheet entries of every kind, in order."""
    import xml.etree.ElementTree as tree
    with zipfile.ZipFile(path) as archive:
        names = {normalized(n): n for n in archive.namelist()}
        rels = tree.fromstring(archive.read(names["_rels/.rels"]))
        target = next(r.get("Target") for r in rels if r.get("Type", "").endswith("/officeDocument"))
        root = tree.fromstring(archive.read(names[normalized(target.lstrip("/"))]))
    sheets = next((child for child in root if child.tag.rsplit("}", 1)[-1] == "sheets"), [])
    return [entry.get("name") for entry in sheets]


def constant_cells(path):
    """(sheet, row, column) -> (value, type) of every constant cell of every worksheet."""
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return read_constant_cells(path)


def read_constant_cells(path):
    # openpyxl's own sheet parser, which yields the cells the file has; iterating a read-only
    # sheet would fill every gap up to its dimension.
    book = openpyxl.load_workbook(path, read_only=True, data_only=False)
    cells = {}
    try:
        for sheet in book.worksheets:
            if not hasattr(sheet, "_get_source"):
                continue
            source = sheet._get_source()
            parser = WorkSheetParser(source, sheet._shared_strings, data_only=False, epoch=book.epoch,
                                     date_formats=book._date_formats)
            for _, row in parser.parse():
                for cell in row:
                    value = cell["value"]
                    # openpyxl reads an empty inline string as "": the cell is empty all the same.
                    if value is None or value == "" or cell["data_type"] == "f":
                        continue
                    if isinstance(value, str) and value.startswith("="):
                        continue
                    # Texts compare as applications read them: openpyxl leaves _xHHHH_ undecoded.
                    if isinstance(value, str) and "_x" in value:
                        value = ESCAPE.sub(lambda match: chr(int(match.group(1), 16)), value)
                    # A date-only ISO text reads as a date, the same day as a serial as a datetime.
                    if isinstance(value, datetime.date) and not isinstance(value, datetime.datetime):
                        value = datetime.datetime(value.year, value.month, value.day)
                    cells[(sheet.title, cell["row"], cell["column"])] = (value, cell["data_type"])
            source.close()
    finally:
        book.close()
    return cells


def check_output(name, outcome):
    """The checks of one regular file as {check: None if passed, else a short reason}."""
    source = os.path.join(CORPUS, "files", name)
    output = outcome["output"]
    result = dict.fromkeys(CHECKS, "not opened")
    if output is None:
        result["opens"] = f"exit {outcome['exit']}: {outcome['stderr'][:200]}"
        return result
    result["opens"] = None
    before, after = parts(source), parts(output)
    missing = sorted(before[key] for key in before if key not in after and not key.endswith("calcchain.xml"))
    result["keeps_parts"] = f"lost {missing[:5]}" if missing else None
    bad = badly_formed_parts(source, output)
    result["well_formed"] = "; ".join(bad[:3]) if bad else None
    try:
        faults = [] if bad else schema_order_faults(source, output)
        result["schema_order"] = "; ".join(faults[:3]) if faults else None
    except Exception as error:  # noqa: BLE001
        result["schema_order"] = f"unreadable: {error}"
    try:
        order_before, order_after = sheet_entries(source), sheet_entries(output)
        result["sheet_order"] = (None if order_before == order_after
                                 else f"{order_before[:8]} became {order_after[:8]}")
    except Exception as error:  # noqa: BLE001
        result["sheet_order"] = f"unreadable: {error}"
    try:
        cells_before = constant_cells(source)
    except Exception:  # noqa: BLE001  openpyxl cannot read the input: nothing to compare with
        cells_before = None
    result["openpyxl_cannot_read_input"] = cells_before is None
    try:
        cells_after = constant_cells(output)
        result["openpyxl_reads"] = None
    except Exception as error:  # noqa: BLE001
        # Not the engine's doing when openpyxl cannot read the input either.
        result["openpyxl_reads"] = None if cells_before is None else f"{type(error).__name__}: {str(error)[:150]}"
        result["constants"] = None if cells_before is None else "output unreadable"
        return result
    if cells_before is None:
        result["constants"] = None
    else:
        changed = [key for key, value in cells_before.items() if cells_after.get(key) != value]
        added = [key for key, value in cells_after.items()
                 if key not in cells_before and value != (EDITED_TEXT, "s")]
        if changed or added:
            sample = [(key, cells_before.get(key), cells_after.get(key)) for key in (changed + added)[:3]]
            result["constants"] = f"{len(changed)} changed, {len(added)} added, e.g. {sample}"
        else:
            result["constants"] = None
    return result


def libreoffice_failures(outputs, folder):
    """Outputs LibreOffice could not convert, converted in a few batched runs. The target is xlsx,
    whose size follows the cells: CSV would spell out every empty cell up to a note at XFD1048576."""
    converted = os.path.join(folder, "converted")
    profile = os.path.join(folder, "lo_profile")
    for start in range(0, len(outputs), LIBREOFFICE_BATCH):
        batch = outputs[start:start + LIBREOFFICE_BATCH]
        subprocess.run([SOFFICE, f"-env:UserInstallation=file://{profile}", "--headless",
                        "--convert-to", "xlsx", "--outdir", converted, *batch],
                       capture_output=True, timeout=60 + 10 * len(batch))
    return {path for path in outputs
            if not os.path.exists(os.path.join(converted, os.path.splitext(os.path.basename(path))[0] + ".xlsx"))}


class CorpusEdit(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.access(ENGINE, os.X_OK):
            raise AssertionError(f"{ENGINE} is not built (set ZQ_BUILD_DIR to the build folder)")
        if not os.path.exists(os.path.join(CORPUS, "manifest.tsv")):
            raise AssertionError(f"the corpus is missing at {CORPUS} (set ZQ_CORPUS_DIR)")
        if SOFFICE is None:
            raise AssertionError("LibreOffice (soffice) is needed to check the outputs")
        cls.folder = tempfile.mkdtemp(prefix="sx_corpus_edit_")
        for sub in ("out", "scripts"):
            os.makedirs(os.path.join(cls.folder, sub))
        cls.manifest = read_manifest()
        with ThreadPoolExecutor(max_workers=2) as pool:
            outcomes = list(pool.map(lambda row: run_engine(row["file"], cls.folder), cls.manifest))
        cls.outcomes = {row["file"]: outcome for row, outcome in zip(cls.manifest, outcomes)}
        regular = [row["file"] for row in cls.manifest if row["group"] == "regular"]
        with ProcessPoolExecutor(max_workers=2) as pool:
            checked = list(pool.map(check_output, regular, [cls.outcomes[name] for name in regular]))
        cls.results = dict(zip(regular, checked))
        outputs = [cls.outcomes[name]["output"] for name in regular if cls.outcomes[name]["output"]
                   and name not in LIBREOFFICE_TOO_SLOW]
        unconverted = libreoffice_failures(outputs, cls.folder)
        for name in regular:
            output = cls.outcomes[name]["output"]
            if output:
                converted = output not in unconverted and name not in LIBREOFFICE_TOO_SLOW
                cls.results[name]["libreoffice_converts"] = None if converted else "not converted"
        cls.report_figures()

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, True)

    @classmethod
    def report_figures(cls):
        total = len(cls.results)
        line = ", ".join(f"{check} {sum(1 for r in cls.results.values() if r[check] is None)}"
                         for check in CHECKS)
        unreadable = sum(1 for r in cls.results.values() if r.get("openpyxl_cannot_read_input"))
        print(f"\ncorpus: {total} regular files: {line} "
              f"(openpyxl cannot read {unreadable} of the inputs)", file=sys.stderr)
        if os.environ.get("ZQ_CORPUS_REPORT"):
            with open(os.environ["ZQ_CORPUS_REPORT"], "w", encoding="utf-8") as file:
                json.dump({"results": cls.results, "outcomes": cls.outcomes}, file, indent=1)

    def test_regular_files_lose_nothing(self):
        unexpected, fixed = [], []
        for name, result in sorted(self.results.items()):
            expected = EXPECTED_FAILURES.get(name, {})
            for check in CHECKS:
                if result[check] is not None and check not in expected:
                    unexpected.append(f"{name}: {check}: {result[check]}")
                elif result[check] is None and check in expected:
                    fixed.append(f"{name}: {check} now passes; remove it from EXPECTED_FAILURES")
        self.assertEqual(unexpected + fixed, [])

    def test_expected_failures_name_corpus_files(self):
        unknown = sorted(set(EXPECTED_FAILURES) - set(self.results))
        self.assertEqual(unknown, [])

    def test_broken_files_fail_cleanly(self):
        bad = []
        for row in self.manifest:
            if row["group"] != "adversarial":
                continue
            outcome = self.outcomes[row["file"]]
            if outcome["exit"] == 0 and row["container"] == "zip":
                continue  # read as far as it is sound
            if outcome["exit"] != 1 or not outcome["stderr"] or "\n" in outcome["stderr"]:
                bad.append(f"{row['file']}: exit {outcome['exit']}: {outcome['stderr'][:200]!r}")
        self.assertEqual(bad, [])


if __name__ == "__main__":
    unittest.main()
