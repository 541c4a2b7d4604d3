#!/usr/bin/env python3
"""Calculation benchmark: a sheet of N rows with a SUM column and an exact VLOOKUP column into
an N-row table, calculated and saved as xlsx by zq_builder_helper + scriptorix, against
LibreOffice headless converting the same workbook (written by XlsxWriter in this run, without
cached values) to xlsx with recalculation on load forced. Both results are checked for the
same calculated values through openpyxl (data_only), so neither side can skip the work.

Columns: A number i, B number 2i, C =SUM(Ai:Bi), D =VLOOKUP(key, $F$1:$G$N, 2, FALSE),
E the key looked up (text), F keys in shuffled order, G their values.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import openpyxl

XLSXWRITER_SOURCE = """
import sys, xlsxwriter
rows, out = int(sys.argv[1]), sys.argv[2]
wb = xlsxwriter.Workbook(out, {"constant_memory": True}); ws = wb.add_worksheet("Sheet1")
for r in range(rows):
    ws.write_number(r, 0, r)
    ws.write_number(r, 1, 2 * r)
    ws.write_formula(r, 2, "=SUM(A%d:B%d)" % (r + 1, r + 1), None, "")
    ws.write_formula(r, 3, "=VLOOKUP(E%d,$F$1:$G$%d,2,FALSE)" % (r + 1, rows), None, "")
    ws.write_string(r, 4, "key%d" % ((r * 7919) % rows))
    ws.write_string(r, 5, "key%d" % ((r * 104729) % rows))
    ws.write_number(r, 6, ((r * 104729) % rows) * 3)
wb.close()
"""

# Makes LibreOffice recalculate every formula of an xlsx file when it loads it.
RECALC_ALWAYS = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
"""


def helper_task(rows, output):
    actions = []
    for r in range(rows):
        n = r + 1
        actions += [
            {"cmd": "setValue", "row": r, "col": 0, "value": r},
            {"cmd": "setValue", "row": r, "col": 1, "value": 2 * r},
            {"cmd": "setFormula", "row": r, "col": 2, "formula": "=SUM(A%d:B%d)" % (n, n)},
            {"cmd": "setFormula", "row": r, "col": 3,
             "formula": "=VLOOKUP(E%d,$F$1:$G$%d,2,FALSE)" % (n, rows)},
            {"cmd": "setValue", "row": r, "col": 4, "value": "key%d" % ((r * 7919) % rows)},
            {"cmd": "setValue", "row": r, "col": 5, "value": "key%d" % ((r * 104729) % rows)},
            {"cmd": "setValue", "row": r, "col": 6, "value": ((r * 104729) % rows) * 3},
        ]
    return {"output": output, "actions": actions}


def measure(argv, cwd):
    start = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.perf_counter() - start
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError("%s failed: %s" % (argv[0], err.strip()))
    return seconds, usage.ru_maxrss / 1024.0


def check_values(path, rows, who):
    """The cached values of a few rows must be the calculated ones."""
    sheet = openpyxl.load_workbook(path, read_only=True, data_only=True).active
    probes = sorted({0, 1, rows // 2, rows - 1})
    wanted = {r: (3 * r, ((r * 7919) % rows) * 3) for r in probes}
    for index, row in enumerate(sheet.iter_rows(min_col=3, max_col=4, values_only=True)):
        if index in wanted and tuple(row) != wanted[index]:
            raise AssertionError("%s: row %d holds %r, expected %r" % (who, index + 1, row, wanted[index]))


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--helper", required=True, help="path of the built zq_builder_helper")
    parser.add_argument("--rows", type=int, default=100000)
    args = parser.parse_args()
    helper = os.path.abspath(args.helper)
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    rows = args.rows

    with tempfile.TemporaryDirectory(prefix="zq_calc_bench_") as work:
        task = os.path.join(work, "task.json")
        with open(task, "w", encoding="utf-8") as f:
            json.dump(helper_task(rows, "helper.xlsx"), f)
        base, base_mem = measure([helper, task], work)
        check_values(os.path.join(work, "helper.xlsx"), rows, "helper")
        print("%-30s %9.2fs %8.0f MiB  1.00x" % ("helper + engine", base, base_mem))
        if soffice is None:
            print("LibreOffice is not installed: no comparison")
            return
        source = os.path.join(work, "source.xlsx")
        script = os.path.join(work, "make_source.py")
        with open(script, "w") as f:
            f.write(XLSXWRITER_SOURCE)
        made, _ = measure([sys.executable, script, str(rows), source], work)
        profile = os.path.join(work, "lo_profile")
        os.makedirs(os.path.join(profile, "user"))
        with open(os.path.join(profile, "user", "registrymodifications.xcu"), "w") as f:
            f.write(RECALC_ALWAYS)
        out = os.path.join(work, "lo")
        seconds, mem = measure([soffice, "-env:UserInstallation=file://%s" % profile, "--headless",
                                "--convert-to", "xlsx", "--outdir", out, source], work)
        check_values(os.path.join(out, "source.xlsx"), rows, "LibreOffice")
        print("%-30s %9.2fs %8.0f MiB  %.2fx  (making its input with XlsxWriter: %.2fs)" %
              ("LibreOffice convert (recalc)", seconds, mem, seconds / base, made))


if __name__ == "__main__":
    main()
