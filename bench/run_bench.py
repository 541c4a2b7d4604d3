#!/usr/bin/env python3
"""End-to-end benchmark: one table of tasks run through zq_builder_helper against openpyxl,
XlsxWriter and LibreOffice, every figure measured in the same run.

Every contender writes the same workbook as its own process, started from scratch, so CPU
seconds and peak memory compare like with like. The helper's row is split in two: the helper
process itself and the engine it runs as its child. On Linux the helper's own figures are read
from /proc while it runs (its peak is over by the time the engine ends), the engine's CPU is the
whole run's less the helper's own, and its peak is the run's when that exceeds the helper's, else
the engine's own as sampled every 10 ms.
"vs helper" is the contender's CPU seconds over the helper's and engine's together; "B/action"
the peak memory beyond a one-action task's per action; "held MiB" what the helper keeps resident
while the engine runs.
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import zipfile

COLUMNS = 10


def set_value_task(count, output):
    actions = []
    for i in range(count):
        row, col = divmod(i, COLUMNS)
        actions.append({"cmd": "setValue", "row": row, "col": col, "value": i * 0.5})
    return {"output": output, "actions": actions}


def mixed_kind(i):
    """20 % text, 10 % formulas, the rest numbers."""
    step = i % 10
    return "formula" if step == 9 else "text" if step in (3, 6) else "number"


def mixed_task(count, output):
    actions = []
    for i in range(count):
        row, col = divmod(i, COLUMNS)
        kind = mixed_kind(i)
        if kind == "formula":
            actions.append({"cmd": "setFormula", "row": row, "col": col,
                            "formula": "=A%d*2" % (row + 1)})
        elif kind == "text":
            actions.append({"cmd": "setValue", "row": row, "col": col, "value": "item %d" % i})
        else:
            actions.append({"cmd": "setValue", "row": row, "col": col, "value": i * 0.5})
    last = count // COLUMNS + 1
    actions += [
        {"cmd": "setNumberFormat", "range": "B1:B%d" % last, "format": "#,##0.00"},
        {"cmd": "setNumberFormat", "range": "C1:C%d" % last, "format": "0.0%"},
        {"cmd": "setFontName", "range": "A1:J1", "value": "Arial"},
        {"cmd": "setFillColor", "range": "A1:J1", "color": {"r": 200, "g": 220, "b": 255}},
    ]
    return {"output": output, "actions": actions}


# Contender scripts take (count, output). Not named after their module: the script's folder
# comes first on the import path.
OPENPYXL = """
import sys, openpyxl
from openpyxl.styles import Font, PatternFill
count, out = int(sys.argv[1]), sys.argv[2]
MIXED, WRITE_ONLY = %(mixed)s, %(write_only)s
wb = openpyxl.Workbook(write_only=WRITE_ONLY)
ws = wb.create_sheet() if WRITE_ONLY else wb.active
def value(i):
    row = i // 10
    step = i %% 10
    if MIXED and step == 9: return "=A%%d*2" %% (row + 1)
    if MIXED and step in (3, 6): return "item %%d" %% i
    return i * 0.5
if WRITE_ONLY:
    from openpyxl.cell import WriteOnlyCell
    for row in range(0, count, 10):
        cells = []
        for i in range(row, min(row + 10, count)):
            cell = WriteOnlyCell(ws, value=value(i))
            if MIXED and i %% 10 == 1: cell.number_format = "#,##0.00"
            if MIXED and i %% 10 == 2: cell.number_format = "0.0%%"
            if MIXED and row == 0:
                cell.font = Font(name="Arial"); cell.fill = PatternFill("solid", fgColor="C8DCFF")
            cells.append(cell)
        ws.append(cells)
else:
    for i in range(count):
        row, col = divmod(i, 10)
        cell = ws.cell(row=row + 1, column=col + 1, value=value(i))
        if MIXED and col == 1: cell.number_format = "#,##0.00"
        if MIXED and col == 2: cell.number_format = "0.0%%"
        if MIXED and row == 0:
            cell.font = Font(name="Arial"); cell.fill = PatternFill("solid", fgColor="C8DCFF")
wb.save(out)
"""

XLSXWRITER = """
import sys, xlsxwriter
count, out = int(sys.argv[1]), sys.argv[2]
MIXED, CONSTANT = %(mixed)s, %(write_only)s
wb = xlsxwriter.Workbook(out, {"constant_memory": CONSTANT}); ws = wb.add_worksheet()
money = wb.add_format({"num_format": "#,##0.00"}); share = wb.add_format({"num_format": "0.0%%"})
head = wb.add_format({"font_name": "Arial", "bg_color": "#C8DCFF", "pattern": 1})
for i in range(count):
    row, col = divmod(i, 10)
    fmt = None
    if MIXED:
        fmt = head if row == 0 else money if col == 1 else share if col == 2 else None
        if col == 9: ws.write_formula(row, col, "=A%%d*2" %% (row + 1), fmt); continue
        if col in (3, 6): ws.write_string(row, col, "item %%d" %% i, fmt); continue
    ws.write_number(row, col, i * 0.5, fmt)
wb.close()
"""


def contender_scripts(mixed):
    flags = lambda write_only: {"mixed": mixed, "write_only": write_only}
    return [("openpyxl", OPENPYXL % flags(False)), ("openpyxl-wo", OPENPYXL % flags(True)),
            ("xlsxwriter", XLSXWRITER % flags(False)), ("xlsxwriter-cm", XLSXWRITER % flags(True))]


class Figures:
    def __init__(self, cpu, wall, peak_mib, held_mib=None):
        self.cpu, self.wall, self.peak = cpu, wall, peak_mib
        self.held = held_mib  # the helper's resident memory while its child ran


def _children(pid):
    try:
        with open("/proc/%d/task/%d/children" % (pid, pid)) as f:
            return [int(child) for child in f.read().split()]
    except (OSError, ValueError):
        return []


# GNU time starts each measured process from a small process of its own: a child forked from
# this script would count this script's memory as its peak.
GNU_TIME = "/usr/bin/time" if os.access("/usr/bin/time", os.X_OK) else None


def _proc_status_kib(pid, field):
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def _proc_own_cpu(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    except (OSError, IndexError, ValueError):
        return None


def measure(argv, cwd, split_child=False):
    """Runs one process to its end. Returns the whole run's Figures (children included) and,
    with split_child on Linux, the process's own Figures with its child's peak in `engine_peak`;
    raises with stderr on failure."""
    start = time.perf_counter()
    report = os.path.join(cwd, "time-report.txt")
    command = [GNU_TIME, "-f", "%U %S %M", "-o", report] + argv if GNU_TIME else argv
    proc = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    own = {"peak": 0, "cpu": 0.0, "held": 0, "engine": 0}
    done = threading.Event()

    def sample():
        target = None if GNU_TIME else proc.pid
        while not done.wait(0.01):
            if target is None:
                target = (_children(proc.pid) or [None])[0]
                if target is None:
                    continue
            peak, cpu = _proc_status_kib(target, "VmHWM"), _proc_own_cpu(target)
            if peak is not None:
                own["peak"] = max(own["peak"], peak)
            if cpu is not None:
                own["cpu"] = max(own["cpu"], cpu)
            children = _children(target)
            if children:
                own["held"] = max(own["held"], _proc_status_kib(target, "VmRSS") or 0)
            for child in children:
                own["engine"] = max(own["engine"], _proc_status_kib(child, "VmHWM") or 0)

    sampler = threading.Thread(target=sample) if split_child and os.path.isdir("/proc") else None
    if sampler:
        sampler.start()
    err = proc.stderr.read().decode(errors="replace")
    _, status, usage = os.wait4(proc.pid, 0)
    done.set()
    if sampler:
        sampler.join()
    wall = time.perf_counter() - start
    proc.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        raise RuntimeError("%s failed (%s): %s" % (argv[0], status, err.strip()))
    if GNU_TIME:
        with open(report) as f:
            user, system, peak_kib = f.read().split()[-3:]
        whole = Figures(float(user) + float(system), wall, int(peak_kib) / 1024.0)
    else:
        whole = Figures(usage.ru_utime + usage.ru_stime, wall, usage.ru_maxrss / 1024.0)
    if not sampler:
        return whole, None
    mine = Figures(own["cpu"], wall, own["peak"] / 1024.0, own["held"] / 1024.0)
    mine.engine_peak = own["engine"] / 1024.0
    return whole, mine


ROW = "%-16s %-15s %8s %8s %9s %9s %10s %9s"


def print_row(case, who, figures, base_cpu, per_action=None):
    ratio = "%.2fx" % (figures.cpu / base_cpu) if base_cpu else ""
    print(ROW % (case, who, "%.2f" % figures.cpu, "%.2f" % figures.wall, "%.0f" % figures.peak,
                 ratio, "" if per_action is None else "%.0f" % per_action,
                 "" if figures.held is None else "%.0f" % figures.held))
    sys.stdout.flush()


class Bench:
    def __init__(self, helper, work):
        self.helper, self.work = helper, work
        self.fixed = None  # (helper own, engine) peaks in MiB of a one-action task

    def run_helper(self, case, task):
        task_path = os.path.join(self.work, case + ".json")
        with open(task_path, "w", encoding="utf-8") as f:
            json.dump(task, f)
        whole, own = measure([self.helper, task_path], self.work, split_child=True)
        if own is None:
            print_row(case, "helper+engine", whole, whole.cpu)
            return whole, None, None
        # The run's peak is the engine's when it exceeds the helper's; otherwise the sampled one.
        engine = Figures(max(whole.cpu - own.cpu, 0.0), whole.wall,
                         whole.peak if whole.peak > own.peak + 1 else own.engine_peak)
        return whole, own, engine

    def helper_rows(self, case, task):
        whole, own, engine = self.run_helper(case, task)
        actions = len(task["actions"])
        if own is not None:
            per = lambda peak, base: max(peak - base, 0.0) * 1048576 / actions if self.fixed else None
            print_row(case, "helper (own)", own, whole.cpu, per(own.peak, self.fixed[0]) if self.fixed else None)
            print_row(case, "engine (child)", engine, whole.cpu,
                      per(engine.peak, self.fixed[1]) if self.fixed and engine.peak else None)
        print_row(case, "helper+engine", whole, whole.cpu)
        return whole

    def contenders(self, case, scripts, arg, base_cpu):
        for label, code in scripts:
            script = os.path.join(self.work, "bench_%s.py" % label)
            with open(script, "w") as f:
                f.write(code)
            out = os.path.join(self.work, "%s-%s.xlsx" % (case, label))
            figures, _ = measure([sys.executable, script, str(arg), out], self.work)
            print_row(case, label, figures, base_cpu)

    def fixed_cost(self):
        task = {"output": "fixed.xlsx", "actions": [{"cmd": "setValue", "cell": "A1", "value": 1}]}
        whole, own, engine = self.run_helper("fixed", task)
        if own is not None:
            self.fixed = (own.peak, engine.peak or whole.peak)
            print_row("one setValue", "helper (own)", own, whole.cpu)
            print_row("one setValue", "engine (child)", engine, whole.cpu)
        print_row("one setValue", "helper+engine", whole, whole.cpu)


# Makes LibreOffice recalculate every formula of an xlsx file when it loads it.
RECALC_ALWAYS = """<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
"""

COUNTIF_SOURCE = """
import sys, xlsxwriter
source_rows, rows, cols, out = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
wb = xlsxwriter.Workbook(out, {"constant_memory": True}); ws = wb.add_worksheet("Sheet1")
for r in range(max(source_rows, rows)):
    if r < source_rows:
        ws.write_number(r, 0, r % 97)
        ws.write_formula(r, 1, "=A%d+1" % (r + 1), None, "")
    if r < rows:
        for c in range(cols):
            ws.write_formula(r, 3 + c, "=COUNTIF($B$1:$B$%d,%d)" % (source_rows, (r * cols + c) % 100), None, "")
wb.close()
"""


def countif_task(source_rows, rows, cols, output):
    """Column B: formulas over column A; a grid of COUNTIFs over column B from column D on."""
    actions = []
    for r in range(max(source_rows, rows)):
        if r < source_rows:
            actions.append({"cmd": "setValue", "row": r, "col": 0, "value": r % 97})
            actions.append({"cmd": "setFormula", "row": r, "col": 1, "formula": "=A%d+1" % (r + 1)})
        for c in range(cols if r < rows else 0):
            actions.append({"cmd": "setFormula", "row": r, "col": 3 + c,
                            "formula": "=COUNTIF($B$1:$B$%d,%d)" % (source_rows, (r * cols + c) % 100)})
    return {"output": output, "actions": actions}


def countif_case(bench, source_rows, rows, cols):
    case = "countif-%dx%d" % (rows, cols)
    whole = bench.helper_rows(case, countif_task(source_rows, rows, cols, case + ".xlsx"))
    soffice = shutil.which("soffice") or shutil.which("libreoffice")
    if soffice is None:
        print("%-16s LibreOffice is not installed: no comparison" % case)
        return
    work = bench.work
    source = os.path.join(work, "countif-source.xlsx")
    script = os.path.join(work, "make_countif.py")
    with open(script, "w") as f:
        f.write(COUNTIF_SOURCE)
    measure([sys.executable, script, str(source_rows), str(rows), str(cols), source], work)
    profile = os.path.join(work, "lo_profile")
    os.makedirs(os.path.join(profile, "user"), exist_ok=True)
    with open(os.path.join(profile, "user", "registrymodifications.xcu"), "w") as f:
        f.write(RECALC_ALWAYS)
    figures, _ = measure([soffice, "-env:UserInstallation=file://%s" % profile, "--headless",
                          "--convert-to", "xlsx", "--outdir", os.path.join(work, "lo"), source], work)
    print_row(case, "libreoffice", figures, whole.cpu)


def shared_formula_workbook(path, cells, length):
    """One sheet: column A numbers, column B one shared formula of about `length` characters
    over `cells` rows, as a spreadsheet application stores it (text only on the group's first
    cell)."""
    terms, formula = 0, []
    while len(",".join(formula)) < length:
        formula.append("A1*%d" % (terms % 9 + 1))
        terms += 1
    text = "SUM(" + ",".join(formula) + ")"
    rows = []
    for r in range(1, cells + 1):
        f = ('<f t="shared" ref="B1:B%d" si="0">%s</f>' % (cells, text)) if r == 1 else '<f t="shared" si="0"/>'
        rows.append('<row r="%d"><c r="A%d"><v>%d</v></c><c r="B%d">%s<v>0</v></c></row>' % (r, r, r, r, f))
    ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    parts = {
        "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>',
        "_rels/.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="%s/officeDocument" Target="xl/workbook.xml"/></Relationships>' % rel,
        "xl/workbook.xml": '<?xml version="1.0" encoding="UTF-8"?><workbook %s xmlns:r="%s"><sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets></workbook>' % (ns, rel),
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/></Relationships>' % rel,
        "xl/worksheets/sheet1.xml": '<?xml version="1.0" encoding="UTF-8"?><worksheet %s><sheetData>%s</sheetData></worksheet>' % (ns, "".join(rows)),
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, body in parts.items():
            z.writestr(name, body)


def shared_formula_case(bench, cells, length):
    case = "shared-%d" % cells
    source = os.path.join(bench.work, case + "-input.xlsx")
    shared_formula_workbook(source, cells, length)
    task = {"input": source, "output": case + ".xlsx",
            "actions": [{"cmd": "setValue", "sheet": "Data", "row": 0, "col": 2, "value": 1}]}
    try:
        bench.helper_rows(case, task)
    except RuntimeError as refused:
        reason = str(refused).splitlines()[0]
        reason = reason[max(reason.find("the part"), 0):].split("; the line reads")[0]
        print("%-16s %-15s refused: %s" % (case, "helper+engine", reason))


def sizes(text):
    return [int(s) for s in text.split(",") if s]


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--helper", required=True, help="path of the built zq_builder_helper")
    parser.add_argument("--sizes", default="10000,100000,1000000",
                        help="comma-separated counts of the numeric setValue tasks")
    parser.add_argument("--mixed", default="1000000",
                        help="comma-separated counts of the mixed tasks (text, formulas, formats)")
    parser.add_argument("--countif", default="1000,1000,100",
                        help="formula cells counted, grid rows, grid columns (empty: none)")
    parser.add_argument("--shared", default="100000,7289",
                        help="cells sharing one formula, its length in characters (empty: none)")
    parser.add_argument("--quick", action="store_true",
                        help="small sizes for a run of under a minute")
    args = parser.parse_args()
    if args.quick:
        args.sizes, args.mixed, args.countif, args.shared = "10000,100000", "100000", "1000,50,10", "10000,7289"
    helper = os.path.abspath(args.helper)

    print(ROW % ("case", "who", "CPU s", "wall s", "peak MiB", "vs helper", "B/action",
                 "held MiB"))
    with tempfile.TemporaryDirectory(prefix="zq_bench_") as work:
        bench = Bench(helper, work)
        bench.fixed_cost()
        for mixed, counts in ((False, sizes(args.sizes)), (True, sizes(args.mixed))):
            for count in counts:
                case = ("mixed-%d" if mixed else "setValue-%d") % count
                make = mixed_task if mixed else set_value_task
                whole = bench.helper_rows(case, make(count, case + "-helper.xlsx"))
                bench.contenders(case, contender_scripts(mixed), count, whole.cpu)
        if args.countif:
            countif_case(bench, *sizes(args.countif))
        if args.shared:
            shared_formula_case(bench, *sizes(args.shared))


if __name__ == "__main__":
    main()
