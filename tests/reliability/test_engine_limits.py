"""Engine-side limits and silent faults, through the built helper: each one fails clearly or
keeps the data, never a wrong result with exit 0."""

import os
import random
import string
import time
import zipfile

from harness import HelperTestCase, can_mount, mount, read_json

ENGINE_FAILED = "scriptorix.exe failed with code 1"


class EngineLimitsTest(HelperTestCase):
    def run_failing(self, task, engine_says):
        result = self.run_task(task)
        self.assert_failed(result, ENGINE_FAILED)
        self.assertIn(engine_says, result.stderr, result)
        self.assertFalse(os.path.exists(task["output"]), "a failed run left an output")
        self.assert_no_temporaries()

    def test_move_sheet_without_a_target_fails(self):
        start = [{"cmd": "addSheet", "name": "A"}, {"cmd": "addSheet", "name": "B"}]
        for label, move in [("misspelt before", {"before": "b "}), ("misspelt after", {"after": "Nope"}),
                            ("index past the last sheet", {"index": 5}), ("index equal to the count", {"index": 2}),
                            ("negative index", {"index": -1})]:
            with self.subTest(label):
                output = self.path("moved.xlsx")
                task = {"output": output, "actions": start + [{"cmd": "moveSheet", "sheet": "A", **move}]}
                self.run_failing(task, "no sheet to move before or after")

    def test_move_sheet_to_a_real_target_still_works(self):
        output, answers = self.path("moved.xlsx"), self.path("answers.json")
        task = {"output": output, "resultOutput": answers,
                "actions": [{"cmd": "addSheet", "name": "A"}, {"cmd": "addSheet", "name": "B"},
                            {"cmd": "addSheet", "name": "C"},
                            {"cmd": "moveSheet", "sheet": "A", "after": "C"},
                            {"cmd": "moveSheet", "sheet": "C", "index": 0},
                            {"cmd": "getSheets", "result": "order"}]}
        self.assert_succeeded(self.run_task(task), output)
        self.assertEqual(read_json(answers)["order"], ["C", "B", "A"])

    def test_result_key_proto_is_kept(self):
        output, answers = self.path("book.xlsx"), self.path("answers.json")
        task = {"output": output, "resultOutput": answers,
                "actions": [{"cmd": "setValue", "cell": "A1", "value": 7},
                            {"cmd": "getValue", "cell": "A1", "result": "__proto__"},
                            {"cmd": "getSheets", "result": "constructor"},
                            {"cmd": "getValue", "cell": "A1", "result": "toString"}]}
        self.assert_succeeded(self.run_task(task), output)
        with open(answers, encoding="utf-8") as file:
            text = file.read()
        self.assertIn('"__proto__":7', text)
        self.assertEqual(read_json(answers), {"__proto__": 7, "constructor": ["Sheet1"], "toString": 7})

    def test_input_that_is_not_a_regular_file_is_refused_at_once(self):
        fifo = self.path("pipe.xlsx")
        os.mkfifo(fifo)
        for source in ["/dev/zero", fifo, self.work]:
            with self.subTest(source):
                began = time.monotonic()
                task = {"input": source, "output": self.path("out.xlsx"), "actions": []}
                message = "a folder" if source == self.work else "not a regular file"
                self.run_failing(task, message)
                self.assertLess(time.monotonic() - began, 30)

    def test_what_the_engine_writes_it_reads_back(self):
        # 40,000 merged areas, then the same workbook opened and edited.
        # openpyxl takes long over 40,000 merges, so the packages are checked as zips here.
        first, second = self.path("merged.xlsx"), self.path("again.xlsx")
        for task in [{"output": first, "actions": [{"cmd": "merge", "range": "A1:B40000", "across": True}]},
                     {"input": first, "output": second, "actions": [{"cmd": "setValue", "cell": "D1", "value": 1}]}]:
            result = self.run_task(task)
            self.assertEqual((result.returncode, result.stderr), (0, ""), result)
        with zipfile.ZipFile(second) as package:
            sheet = package.read("xl/worksheets/sheet1.xml").decode()
        self.assertEqual(sheet.count("<mergeCell "), 40000)
        self.assert_no_temporaries()


class EngineSaveMessagesTest(HelperTestCase):
    def test_a_full_disk_on_save_is_named(self):
        if not can_mount():
            self.skipTest("mounting a small disk needs root with CAP_SYS_ADMIN")
        disk = self.make_dir("disk")
        mount(self, ["-t", "tmpfs", "-o", "size=64k", "tmpfs"], disk)
        output = os.path.join(disk, "book.xlsx")
        texts = ["".join(random.choice(string.ascii_letters) for _ in range(30000)) for _ in range(8)]
        task = {"output": output, "actions": [{"cmd": "setValue", "cell": f"A{row}", "value": text}
                                              for row, text in enumerate(texts, start=1)]}
        result = self.run_task(task)
        self.assert_failed(result, ENGINE_FAILED)
        self.assertIn("the disk is full", result.stderr, result)
        self.assertIn("book.xlsx", result.stderr, result)
        self.assert_folder_holds(disk, [])
        self.assert_no_temporaries()
