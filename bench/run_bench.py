#!/usr/bin/env python3
"""End-to-end benchmark: tasks run through zq_builder_helper against openpyxl and XlsxWriter.

Every contender writes the same workbook in the same run, as its own process, so wall time and
peak memory (ru_maxrss of the process and the children it waited for) compare like with like.
Figures are printed as ratios against the helper's own time in this run.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

COLUMNS = 10


def set_value_task(count, output):
    actions = []
    for i in range(count):
        row, col = divmod(i, COLUMNS)
        actions.append({"cmd": "setValue", "row": row, "col": col, "value": i * 0.5})
    return {"output": output, "actions": actions}


def report_task(rows, output):
    """A formatted report: title, header, typed columns, formats, fills, borders, widths."""
    actions = [
        {"cmd": "addSheet", "name": "Report"},
        {"cmd": "setValue", "cell": "A1", "value": "Quarterly sales"},
        {"cmd": "merge", "range": "A1:F1"},
        {"cmd": "setFontName", "range": "A1:F2", "value": "Arial"},
        {"cmd": "setHorizontalAlignment", "range": "A1:F1", "value": "center"},
    ]
    for col, name in enumerate(["Region", "Item", "Units", "Price", "Total", "Share"]):
        actions.append({"cmd": "setValue", "row": 1, "col": col, "value": name})
    actions.append({"cmd": "setFillColor", "range": "A2:F2", "color": {"r": 200, "g": 220, "b": 255}})
    for r in range(rows):
        row = r + 2
        actions += [
            {"cmd": "setValue", "row": row, "col": 0, "value": "Region %d" % (r % 7)},
            {"cmd": "setValue", "row": row, "col": 1, "value": "Item %d" % r},
            {"cmd": "setValue", "row": row, "col": 2, "value": r % 50 + 1},
            {"cmd": "setValue", "row": row, "col": 3, "value": 9.99 + r % 13},
            {"cmd": "setFormula", "row": row, "col": 4, "formula": "=C%d*D%d" % (row + 1, row + 1)},
            {"cmd": "setValue", "row": row, "col": 5, "value": (r % 100) / 100.0},
        ]
    last = rows + 2
    actions += [
        {"cmd": "setNumberFormat", "range": "D3:E%d" % last, "format": "#,##0.00"},
        {"cmd": "setNumberFormat", "range": "F3:F%d" % last, "format": "0.0%"},
        {"cmd": "setBorders", "range": "A2:F%d" % last, "position": "Bottom", "lineStyle": "Thin",
         "color": 0},
        {"cmd": "setColumnWidth", "range": "A1:B1", "value": 18},
        {"cmd": "setWrapText", "range": "A2:F2", "value": True},
    ]
    return {"output": output, "actions": actions}


OPENPYXL_SET_VALUES = """
import sys, openpyxl
count, out = int(sys.argv[1]), sys.argv[2]
wb = openpyxl.Workbook(); ws = wb.active
for i in range(count):
    row, col = divmod(i, %d)
    ws.cell(row=row + 1, column=col + 1, value=i * 0.5)
wb.save(out)
""" % COLUMNS

XLSXWRITER_SET_VALUES = """
import sys, xlsxwriter
count, out = int(sys.argv[1]), sys.argv[2]
wb = xlsxwriter.Workbook(out); ws = wb.add_worksheet()
for i in range(count):
    row, col = divmod(i, %d)
    ws.write_number(row, col, i * 0.5)
wb.close()
""" % COLUMNS

OPENPYXL_REPORT = """
import sys, openpyxl
from openpyxl.styles import Alignment, Border, Font, PatternFill, Side
rows, out = int(sys.argv[1]), sys.argv[2]
wb = openpyxl.Workbook(); ws = wb.active; ws.title = "Report"
ws["A1"] = "Quarterly sales"; ws.merge_cells("A1:F1")
for c in "ABCDEF":
    for r in (1, 2):
        ws[c + str(r)].font = Font(name="Arial")
ws["A1"].alignment = Alignment(horizontal="center")
for col, name in enumerate(["Region", "Item", "Units", "Price", "Total", "Share"]):
    cell = ws.cell(row=2, column=col + 1, value=name)
    cell.fill = PatternFill("solid", fgColor="C8DCFF"); cell.alignment = Alignment(wrap_text=True)
thin = Side(style="thin", color="000000")
for r in range(rows):
    row = r + 3
    ws.cell(row=row, column=1, value="Region %d" % (r % 7))
    ws.cell(row=row, column=2, value="Item %d" % r)
    ws.cell(row=row, column=3, value=r % 50 + 1)
    ws.cell(row=row, column=4, value=9.99 + r % 13).number_format = "#,##0.00"
    ws.cell(row=row, column=5, value="=C%d*D%d" % (row, row)).number_format = "#,##0.00"
    ws.cell(row=row, column=6, value=(r % 100) / 100.0).number_format = "0.0%"
for c in range(1, 7):
    ws.cell(row=rows + 2, column=c).border = Border(bottom=thin)
ws.column_dimensions["A"].width = 18; ws.column_dimensions["B"].width = 18
wb.save(out)
"""


XLSXWRITER_MAKE_INPUT = """
import sys, xlsxwriter
count, out = int(sys.argv[1]), sys.argv[2]
wb = xlsxwriter.Workbook(out, {"constant_memory": True}); ws = wb.add_worksheet("Data")
bold = wb.add_format({"bold": True})
for i in range(count):
    row, col = divmod(i, %d)
    if col == 0:
        ws.write_string(row, col, "row %%d" %% row, bold if row %% 100 == 0 else None)
    elif col == 9:
        ws.write_formula(row, col, "=B%%d*2" %% (row + 1), None, (row * 10 + 1) * 2)
    else:
        ws.write_number(row, col, row * 10 + col)
wb.close()
""" % COLUMNS

OPENPYXL_OPEN_EDIT = """
import sys, openpyxl
source, out = sys.argv[1], sys.argv[2]
wb = openpyxl.load_workbook(source); ws = wb["Data"]
for row in (1, 2, 3, 500, 5000):
    ws.cell(row=row, column=2, value=-row)
wb.save(out)
"""


def open_edit_task(source, output):
    """Opens a large workbook, changes a few cells and saves it."""
    actions = [{"cmd": "setValue", "sheet": "Data", "row": row - 1, "col": 1, "value": -row}
               for row in (1, 2, 3, 500, 5000)]
    return {"input": source, "output": output, "actions": actions}


def measure(argv, cwd):
    """Runs one process; returns (seconds, peak resident MiB) or raises with its stderr."""
    start = time.perf_counter()
    proc = subprocess.Popen(argv, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    err = proc.stderr.read().decode(errors="replace")
    proc.stderr.close()
    if proc.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (argv[0], proc.returncode, err.strip()))
    return seconds, usage.ru_maxrss / 1024.0


def run_case(name, helper_task, contenders, helper, work):
    task_path = os.path.join(work, name + ".json")
    with open(task_path, "w", encoding="utf-8") as f:
        json.dump(helper_task, f)
    base_time, base_mem = measure([helper, task_path], work)
    actions = len(helper_task["actions"])
    print("%-22s %-12s %9.2fs %8.0f MiB  %6.2f us/action  1.00x" %
          (name, "helper", base_time, base_mem, base_time / actions * 1e6, ))
    for label, code, arg in contenders:
        # Not named after the module: the script's folder comes first on the import path.
        script = os.path.join(work, "bench_%s.py" % label)
        with open(script, "w") as f:
            f.write(code)
        out = os.path.join(work, "%s-%s.xlsx" % (name, label))
        seconds, mem = measure([sys.executable, script, str(arg), out], work)
        print("%-22s %-12s %9.2fs %8.0f MiB  %6.2f us/action  %.2fx" %
              (name, label, seconds, mem, seconds / actions * 1e6, seconds / base_time))
    sys.stdout.flush()


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--helper", required=True, help="path of the built zq_builder_helper")
    parser.add_argument("--sizes", default="10000,100000,1000000",
                        help="comma-separated setValue counts")
    parser.add_argument("--report-rows", type=int, default=20000)
    parser.add_argument("--open-sizes", default="100000,1000000",
                        help="comma-separated cell counts of the workbooks opened and edited")
    args = parser.parse_args()
    helper = os.path.abspath(args.helper)

    print("%-22s %-12s %10s %12s %17s  %s" %
          ("case", "who", "wall", "peak RSS", "per action", "time vs helper"))
    with tempfile.TemporaryDirectory(prefix="zq_bench_") as work:
        for size in (int(s) for s in args.sizes.split(",") if s):
            name = "setValue-%d" % size
            run_case(name, set_value_task(size, name + "-helper.xlsx"),
                     [("openpyxl", OPENPYXL_SET_VALUES, size),
                      ("xlsxwriter", XLSXWRITER_SET_VALUES, size)], helper, work)
        rows = args.report_rows
        if rows > 0:
            name = "report-%drows" % rows
            run_case(name, report_task(rows, name + "-helper.xlsx"),
                     [("openpyxl", OPENPYXL_REPORT, rows)], helper, work)
        for size in (int(s) for s in args.open_sizes.split(",") if s):
            name = "openEdit-%d" % size
            source = os.path.join(work, name + "-input.xlsx")
            maker = os.path.join(work, "make_input.py")
            with open(maker, "w") as f:
                f.write(XLSXWRITER_MAKE_INPUT)
            measure([sys.executable, maker, str(size), source], work)
            run_case(name, open_edit_task(source, name + "-helper.xlsx"),
                     [("openpyxl", OPENPYXL_OPEN_EDIT, source)], helper, work)


if __name__ == "__main__":
    main()
