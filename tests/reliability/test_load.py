"""Many tasks at once: every run stays apart, every output is right, nothing is left over."""

import concurrent.futures
import os
import time
import unittest

from harness import HelperTestCase, cell_text, load_workbook, read_json

TASKS = int(os.environ.get("ZQ_LOAD_TASKS", "200"))
PARALLEL = 8


def load_task(folder, number):
    """Each task's values derive from its number, so a crossed wire shows in the output."""
    sheet = f"Run {number}"
    return {
        "output": os.path.join(folder, "out", f"book_{number}.xlsx"),
        "resultOutput": os.path.join(folder, "out", f"answers_{number}.json"),
        "actions": [
            {"cmd": "addSheet", "name": sheet},
            {"cmd": "setValue", "sheet": sheet, "cell": "A1", "value": number},
            {"cmd": "setValue", "sheet": sheet, "cell": "A2", "value": f"task {number}"},
            {"cmd": "setFormula", "sheet": sheet, "cell": "A3", "formula": "=A1*3+1"},
            {"cmd": "getValue", "sheet": sheet, "cell": "A3", "result": "formula"},
            {"cmd": "getValue", "sheet": sheet, "cell": "A2", "result": "text"},
            {"cmd": "getSheets", "result": "sheets"},
        ],
    }


class LoadTest(HelperTestCase):
    def test_many_tasks_in_parallel(self):
        tasks = [self.write_task(load_task(self.work, number), f"task_{number}.json")
                 for number in range(TASKS)]
        started = time.monotonic()
        with concurrent.futures.ThreadPoolExecutor(PARALLEL) as pool:
            results = list(pool.map(self.run_task, tasks))
        elapsed = time.monotonic() - started

        failures = [(number, result) for number, result in enumerate(results)
                    if result.returncode != 0]
        self.assertEqual(failures, [])
        for number in range(TASKS):
            with self.subTest(task=number):
                answers = read_json(self.path("out", f"answers_{number}.json"))
                self.assertEqual(answers, {"formula": number * 3 + 1, "text": f"task {number}",
                                           "sheets": [f"Run {number}"]})
                book = load_workbook(self.path("out", f"book_{number}.xlsx"))
                self.assertEqual(book.sheetnames, [f"Run {number}"])
                sheet = book[f"Run {number}"]
                self.assertEqual(cell_text(sheet["A1"]), number)
                self.assertEqual(cell_text(sheet["A2"]), f"task {number}")
                self.assertEqual(sheet["A3"].value, "=A1*3+1")
        self.assertEqual(len(os.listdir(self.path("out"))), 2 * TASKS)
        self.assert_no_temporaries()
        print(f"\n{TASKS} tasks, {PARALLEL} at a time: {elapsed:.1f} s, "
              f"{1000 * elapsed / TASKS:.0f} ms per task")


if __name__ == "__main__":
    unittest.main()
