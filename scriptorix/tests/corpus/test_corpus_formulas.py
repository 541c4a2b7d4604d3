"""Opening a workbook, editing a cell no formula reads and saving keeps every cached value.

Every `regular` workbook of the corpus saved by the desktop application is opened by the
engine, a cell on a new sheet is set, and the workbook is saved. Each formula that carried a
cached value in the input must carry the same value in the output. Volatile formulas (RAND,
NOW, INDIRECT, ...) are recalculated by any application on any edit, so they are counted but
not compared.

The corpus is read from ZQ_CORPUS_DIR, by default <repository>/../shared/corpus; without it
the test fails.
"""

import csv
import math
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile

BUILD_DIR = os.environ.get("ZQ_BUILD_DIR", "")
SOURCE_DIR = os.environ.get("ZQ_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", "..", ".."))
ENGINE = os.path.join(BUILD_DIR, "runtime", "scriptorix.exe")
CORPUS = os.environ.get("ZQ_CORPUS_DIR", os.path.join(SOURCE_DIR, "..", "shared", "corpus"))
RUN_TIMEOUT = 120

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
RELS = "{http://schemas.openxmlformats.org/package/2006/relationships}"
OFFICE_REL = "{http://schemas.openxmlformats.org/officeDocument/2006/relationships}"
VOLATILE = re.compile(r"\b(RAND|RANDBETWEEN|RANDARRAY|NOW|TODAY|INDIRECT|OFFSET|CELL|INFO)\s*\(",
                      re.IGNORECASE)
EDIT_SHEET = "ZqCorpusEdit"


def made_by_desktop_application(archive):
    try:
        app = archive.read("docProps/app.xml").decode("utf-8", "replace")
    except KeyError:
        return False
    return "<Application>Microsoft Excel</Application>" in app


def is_strict(archive):
    # Strict packages (another namespace throughout) are the package tests' subject.
    return any(b'conformance="strict"' in archive.read(name)[:2048]
               for name in archive.namelist() if name.endswith("workbook.xml"))


def regular_workbooks():
    manifest = os.path.join(CORPUS, "manifest.tsv")
    with open(manifest, encoding="utf-8", newline="") as file:
        rows = list(csv.DictReader(file, delimiter="\t"))
    for row in rows:
        if row["group"] != "regular" or row["container"] != "zip":
            continue
        path = os.path.join(CORPUS, "files", row["file"])
        if not path.lower().endswith((".xlsx", ".xlsm")) or not os.path.exists(path):
            continue
        try:
            with zipfile.ZipFile(path) as archive:
                if made_by_desktop_application(archive) and not is_strict(archive):
                    yield path
        except zipfile.BadZipFile:
            continue


def part_path(base, target):
    if target.startswith("/"):
        return target[1:]
    folder = base.rsplit("/", 1)[0] if "/" in base else ""
    parts = (folder + "/" + target).split("/") if folder else target.split("/")
    resolved = []
    for part in parts:
        if part == "..":
            if resolved:
                resolved.pop()
        elif part and part != ".":
            resolved.append(part)
    return "/".join(resolved)


def cached_formula_values(path):
    """{(sheet name, cell): (formula, value type, value, marked volatile)} for formula cells
    with a cached value."""
    values = {}
    with zipfile.ZipFile(path) as archive:
        names = set(archive.namelist())
        rels = ElementTree.fromstring(archive.read("_rels/.rels"))
        workbook_part = next(rel.get("Target") for rel in rels
                             if rel.get("Type", "").endswith("/officeDocument"))
        workbook_part = part_path("", workbook_part)
        folder = workbook_part.rsplit("/", 1)[0]
        workbook = ElementTree.fromstring(archive.read(workbook_part))
        workbook_rels = ElementTree.fromstring(
            archive.read(folder + "/_rels/" + workbook_part.rsplit("/", 1)[1] + ".rels"))
        targets = {rel.get("Id"): rel.get("Target") for rel in workbook_rels}
        shared = []
        for rel in workbook_rels:
            if rel.get("Type", "").endswith("/sharedStrings"):
                part = part_path(workbook_part, rel.get("Target"))
                if part in names:
                    root = ElementTree.fromstring(archive.read(part))
                    shared = ["".join(t.text or "" for t in item.iter(MAIN + "t"))
                              for item in root.iter(MAIN + "si")]
        for sheet in workbook.iter(MAIN + "sheet"):
            part = part_path(workbook_part, targets.get(sheet.get(OFFICE_REL + "id"), ""))
            if part not in names:
                continue
            masters = {}  # shared formula index: the master's text (enough to tell volatility)
            for _, cell in ElementTree.iterparse(archive.open(part)):
                if cell.tag != MAIN + "c":
                    continue
                formula = cell.find(MAIN + "f")
                value = cell.find(MAIN + "v")
                if formula is not None and value is not None and value.text is not None:
                    kind = cell.get("t", "n")
                    text = value.text
                    if kind == "s":
                        kind, text = "str", shared[int(text)]
                    formula_text = formula.text or ""
                    if formula.get("t") == "shared":
                        if formula_text:
                            masters[formula.get("si")] = formula_text
                        formula_text = masters.get(formula.get("si"), formula_text)
                    # ca="1": the application calculates the cell on every change (it reads
                    # something volatile)
                    always = formula.get("ca") == "1"
                    values[(sheet.get("name"), cell.get("r"))] = (formula_text, kind, text, always)
                cell.clear()
    return values


REFERENCE = re.compile(r"(?:(?:'((?:[^']|'')+)'|([A-Za-z0-9_.]+))!)?\$?([A-Z]{1,3})\$?([0-9]+)"
                       r"(?::\$?([A-Z]{1,3})\$?([0-9]+))?")


def column_number(letters):
    number = 0
    for letter in letters:
        number = number * 26 + ord(letter) - 64
    return number


def areas_named(formula, home):
    for match in REFERENCE.finditer(formula):
        quoted, plain, first_column, first_row, last_column, last_row = match.groups()
        sheet = quoted.replace("''", "'") if quoted else plain or home
        last_column, last_row = last_column or first_column, last_row or first_row
        yield (sheet, int(first_row), column_number(first_column), int(last_row),
               column_number(last_column))


def volatile_cells(values):
    """Formula cells that are volatile or read one that is (as far as plain references show)."""
    found = {key for key, value in values.items() if value[3] or VOLATILE.search(value[0])}
    cell = re.compile(r"([A-Z]+)([0-9]+)")
    positions = {}
    for sheet, name in found:
        column, row = cell.fullmatch(name).groups()
        positions.setdefault(sheet, []).append((int(row), column_number(column)))
    for _ in range(20):
        grown = False
        for key, value in values.items():
            if key in found:
                continue
            for sheet, top, left, bottom, right in areas_named(value[0], key[0]):
                if any(top <= r <= bottom and left <= c <= right for r, c in positions.get(sheet, ())):
                    found.add(key)
                    column, row = cell.fullmatch(key[1]).groups()
                    positions.setdefault(key[0], []).append((int(row), column_number(column)))
                    grown = True
                    break
        if not grown:
            break
    return found


def same_value(before, after):
    if before[1] != after[1] and not {before[1], after[1]} <= {"str", "inlineStr"}:
        return False
    if before[1] == "n":
        a, b = float(before[2]), float(after[2])
        return a == b or math.isclose(a, b, rel_tol=1e-15, abs_tol=0)
    if before[1] == "b":
        return (before[2].strip() in ("1", "true")) == (after[2].strip() in ("1", "true"))
    return before[2] == after[2]


class CorpusFormulaValues(unittest.TestCase):
    def test_edit_elsewhere_keeps_every_cached_value(self):
        self.assertTrue(os.path.isdir(CORPUS), f"the corpus is missing: {CORPUS} (set ZQ_CORPUS_DIR)")
        self.assertTrue(os.access(ENGINE, os.X_OK), f"{ENGINE} is not built (set ZQ_BUILD_DIR)")
        books = list(regular_workbooks())
        self.assertGreater(len(books), 20, "too few workbooks of the desktop application found")
        compared = kept = volatile = unreadable = blank_texts = 0
        changed = []
        failures = []
        refused = []
        with tempfile.TemporaryDirectory(prefix="sx_corpus_formulas_") as folder:
            for book in books:
                output = os.path.join(folder, "out.xlsx")
                script = os.path.join(folder, "edit.js")
                with open(script, "w", encoding="utf-8") as file:
                    file.write(f"builder.OpenFile({book!r});\n"
                               f"Api.AddSheet({EDIT_SHEET!r}).GetRange('C3').SetValue(42);\n"
                               f"builder.SaveFile('xlsx', {output!r});\nbuilder.CloseFile();\n")
                process = subprocess.run([ENGINE, script], capture_output=True, text=True,
                                         timeout=RUN_TIMEOUT)
                if process.returncode == 1 and "Cannot open" in process.stderr:
                    refused.append(os.path.basename(book))  # beyond the reader's limits
                    continue
                if process.returncode != 0:
                    failures.append(f"{os.path.basename(book)}: {process.stderr.strip()}")
                    continue
                try:
                    before = cached_formula_values(book)
                except ElementTree.ParseError:
                    unreadable += 1  # Python's own XML parser refuses it (entity expansion)
                    continue
                after = cached_formula_values(output)
                recalculated = volatile_cells(before)
                for key, value in before.items():
                    if key in recalculated:
                        volatile += 1
                        continue
                    if value[1] == "str" and value[2] and not value[2].strip():
                        blank_texts += 1  # whitespace in XML text is the package tests' subject
                        continue
                    compared += 1
                    if key in after and same_value(value, after[key]):
                        kept += 1
                    else:
                        changed.append((os.path.basename(book), key, value, after.get(key)))
        share = 100.0 * kept / compared if compared else 0.0
        print(f"\n{len(books)} workbooks ({unreadable} not readable here), {compared} formulas with a cached value compared, "
              f"{kept} kept ({share:.2f} %), {len(changed)} changed, {volatile} volatile not "
              f"compared, {blank_texts} whitespace texts not compared, {len(refused)} refused by the "
              f"reader", file=sys.stderr)
        for book, key, value, got in changed[:40]:
            print(f"  {book} {key[0]}!{key[1]} ={value[0]!r}: {value[1:3]} -> "
                  f"{got[1:3] if got else None}", file=sys.stderr)
        self.assertEqual(failures, [])
        self.assertGreater(compared, 1000)
        self.assertEqual(changed, [], f"{len(changed)} cached values changed")


if __name__ == "__main__":
    unittest.main()
