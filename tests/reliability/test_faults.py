"""Faults around a run: unwritable or full disks, a killed engine, a broken runtime, races."""

import json
import os
import signal
import stat
import threading
import time
import unittest
import zipfile

from harness import (ENGINE_NAME, HelperTestCase, can_mount, cell_text, children_of,
                     copy_runtime, file_bytes, load_workbook, mount, process_name)

BUSY_LOOP = {"cmd": "rawJs", "js": "for (;;) {}"}
MOUNTS = can_mount()
NO_MOUNT = "mounting file systems needs root with CAP_SYS_ADMIN, which this run does not have"


def value_task(output, value, **extra):
    task = {"output": output, "actions": [{"cmd": "setValue", "cell": "A1", "value": value}]}
    task.update(extra)
    return task


def random_text_task(output, cells):
    """A workbook too big to squeeze into a small disk: random text defeats the compression."""
    js = ("var s = Api.GetActiveSheet(); for (var i = 0; i < %d; ++i) {"
          " var t = ''; for (var k = 0; k < 8; ++k) t += Math.random().toString(36).slice(2);"
          " s.GetRangeByNumber(i, 0).SetValue(t); }" % cells)
    return {"output": output, "actions": [{"cmd": "rawJs", "js": js}]}


def fill_disk(folder, leave_free):
    """Writes a filler file until only about leave_free bytes remain on folder's file system."""
    stats = os.statvfs(folder)
    size = max(0, stats.f_bavail * stats.f_frsize - leave_free)
    with open(os.path.join(folder, "filler"), "wb") as file:
        try:
            file.write(b"\0" * size)
            file.flush()
            os.fsync(file.fileno())
        except OSError:
            pass  # full already: good enough


class UnwritableOutputTest(HelperTestCase):
    def test_file_standing_where_the_output_folder_should_be(self):
        blocker = self.path("blocker")
        with open(blocker, "wb") as file:
            file.write(b"not a folder")
        result = self.run_task(value_task(self.path("blocker", "book.xlsx"), 1))
        self.assert_failed(result)
        self.assertEqual(file_bytes(blocker), b"not a folder")
        self.assert_no_temporaries()

    @unittest.skipUnless(MOUNTS, NO_MOUNT)
    def test_read_only_output_folder_keeps_the_old_output(self):
        folder = self.make_dir("readonly")
        old = os.path.join(folder, "book.xlsx")
        self.assert_succeeded(self.run_task(value_task(old, "old")), old)
        before = file_bytes(old)
        mount(self, ["--bind", folder], folder)
        mount(self, ["-o", "remount,bind,ro", folder], folder)

        result = self.run_task(value_task(old, "new"))

        self.assert_failed(result, "scriptorix.exe failed with code 1")
        self.assertEqual(file_bytes(old), before)
        self.assert_folder_holds(folder, ["book.xlsx"])
        self.assert_no_temporaries()


@unittest.skipUnless(MOUNTS, NO_MOUNT)
class FullDiskTest(HelperTestCase):
    def small_disk(self, name, size):
        folder = self.make_dir(name)
        mount(self, ["-t", "tmpfs", "-o", f"size={size}", "tmpfs"], folder)
        return folder

    def test_workbook_larger_than_the_free_space_keeps_the_old_output(self):
        disk = self.small_disk("disk", "256k")
        output = os.path.join(disk, "book.xlsx")
        self.assert_succeeded(self.run_task(value_task(output, "old")), output)
        before = file_bytes(output)

        result = self.run_task(random_text_task(output, 8000))

        self.assert_failed(result, "scriptorix.exe failed with code 1")
        self.assertEqual(file_bytes(output), before)
        self.assert_folder_holds(disk, ["book.xlsx"])
        self.assert_no_temporaries()

    def test_full_temporary_folder_fails_before_the_engine_runs(self):
        self.tmpdir = self.small_disk("fulltmp", "1m")
        fill_disk(self.tmpdir, 4096)
        output = self.path("book.xlsx")

        result = self.run_task(value_task(output, 1))

        # Not the library's "Input/output error" of a copy cut short.
        self.assert_failed(result, f"No space left in the temporary directory {self.tmpdir}")
        self.assertFalse(os.path.exists(output))
        self.assert_folder_holds(self.tmpdir, ["filler"])

    def run_with_results_on_full_disk(self):
        disk = self.small_disk("results", "64k")
        answers = os.path.join(disk, "answers.json")
        with open(answers, "w", encoding="utf-8") as file:
            file.write('{"old": true}')
        fill_disk(disk, 0)
        task = value_task(self.path("book.xlsx"), "x" * 20000, resultOutput=answers)
        task["actions"].append({"cmd": "getValue", "cell": "A1", "result": "long"})
        return self.run_task(task), disk, answers

    def test_result_output_on_a_full_disk_is_an_error(self):
        result, disk, _ = self.run_with_results_on_full_disk()
        self.assert_failed(result, "Cannot write output file")
        self.assert_folder_holds(disk, ["answers.json", "filler"])
        self.assert_no_temporaries()

    def test_result_output_on_a_full_disk_keeps_the_older_file(self):
        _, _, answers = self.run_with_results_on_full_disk()
        self.assertEqual(file_bytes(answers), b'{"old": true}')


def engine_of(test, helper, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        engines = [pid for pid in children_of(helper.pid) if process_name(pid) == ENGINE_NAME]
        if engines:
            return engines[0]
        if helper.poll() is not None:
            test.fail("the helper ended before its engine could be killed")
        time.sleep(0.02)
    test.fail("no engine process appeared")


class KilledEngineTest(HelperTestCase):
    def test_engine_killed_mid_run(self):
        for kill_signal in (signal.SIGKILL, signal.SIGTERM):
            with self.subTest(signal=kill_signal.name):
                output = self.path(f"book_{kill_signal.name}.xlsx")
                task = {"output": output, "resultOutput": self.path("answers.json"),
                        "actions": [{"cmd": "setValue", "cell": "A1", "value": 1}, BUSY_LOOP]}
                helper = self.start(task)
                engine = engine_of(self, helper)
                time.sleep(0.2)  # well inside the loop
                os.kill(engine, kill_signal)

                result = self.finish(helper)

                self.assert_failed(result, f"scriptorix.exe failed with code {128 + kill_signal}")
                self.assertFalse(os.path.exists(output))
                self.assertFalse(os.path.exists(self.path("answers.json")))
                self.assert_no_temporaries()


def process_gone(pid):
    """True once pid has ended (a zombie nobody collects counts as ended)."""
    try:
        with open(f"/proc/{pid}/stat", encoding="utf-8", errors="replace") as file:
            return file.read().rsplit(")", 1)[1].split()[0] == "Z"
    except (OSError, IndexError):
        return True


class KilledHelperTest(HelperTestCase):
    """What a caller's timeout does to the helper must end its engine too."""

    def start_busy_run(self, name):
        output = self.path(f"{name}.xlsx")
        task = {"output": output, "resultOutput": self.path(f"{name}.json"),
                "actions": [{"cmd": "setValue", "cell": "A1", "value": 1}, BUSY_LOOP]}
        helper = self.start(task)
        return helper, engine_of(self, helper), output

    def test_signals_end_the_engine_and_remove_the_temporary_files(self):
        for kill_signal in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(signal=kill_signal.name):
                helper, engine, output = self.start_busy_run(kill_signal.name)
                os.kill(helper.pid, kill_signal)

                result = self.finish(helper, timeout=30)

                self.assert_failed(result, f"Interrupted by signal {int(kill_signal)}")
                self.assertTrue(process_gone(engine), "the engine runs on")
                self.assertFalse(os.path.exists(output))
                self.assert_no_temporaries()
                self.assert_folder_holds(self.work, ["task.json"])

    def test_helper_killed_outright_takes_its_engine_along(self):
        helper, engine, output = self.start_busy_run("killed")
        os.kill(helper.pid, signal.SIGKILL)
        self.finish(helper)
        deadline = time.monotonic() + 20
        while not process_gone(engine) and time.monotonic() < deadline:
            time.sleep(0.02)
        self.assertTrue(process_gone(engine), "the engine outlived the helper")
        self.assertFalse(os.path.exists(output))
        # Nothing could remove them; the next run with this process id replaces them.
        self.assertEqual(sorted(os.listdir(self.tmpdir)),
                         [f"zq_scriptorix_cli_{helper.pid}",
                          f"zq_scriptorix_task_{helper.pid}.scriptorix"])


class RefusedTargetTest(HelperTestCase):
    def test_targets_the_run_must_not_replace(self):
        book = self.path("book.xlsx")
        with open(book, "wb") as file:
            file.write(b"older workbook")
        os.mkfifo(self.path("fifo"))
        cases = [
            ({"output": book, "resultOutput": "./book.xlsx"},
             "Result output and output are the same file"),
            ({"output": "book.xlsx", "resultOutput": os.path.join(self.work, "sub", "..", "book.xlsx")},
             "Result output and output are the same file"),
            ({"output": "/dev/null"}, "Output is not a regular file"),
            ({"output": "new.xlsx", "resultOutput": "/dev/null"}, "Result output is not a regular file"),
            ({"output": self.path("fifo")}, "Output is not a regular file"),
            ({"output": self.work}, "Output is not a regular file"),
        ]
        for keys, message in cases:
            with self.subTest(**keys):
                result = self.run_task(dict(keys, actions=[
                    {"cmd": "getValue", "cell": "A1", "result": "a"}]))
                self.assert_failed(result, message)
                self.assert_no_temporaries()
        self.assertEqual(file_bytes(book), b"older workbook")
        self.assertTrue(stat.S_ISCHR(os.stat("/dev/null").st_mode))
        self.assert_folder_holds(self.work, ["book.xlsx", "fifo", "task.json"])


class BrokenRuntimeTest(HelperTestCase):
    def test_runtime_missing_one_file(self):
        engine_failed = "scriptorix.exe failed with code 1"
        cases = [
            (ENGINE_NAME, "scriptorix.exe was not found in runtime directory"),
            # Staging writes a settings file of its own whenever the script library is there.
            ("DoctRenderer.config", None),
            ("AllFonts.js", engine_failed),
            ("sdkjs/common/Native/native.js", engine_failed),
            ("sdkjs/common/Native/jquery_native.js", engine_failed),
            ("web-apps/vendor/xregexp/xregexp-all-min.js", engine_failed),
        ]
        for index, (missing, message) in enumerate(cases):
            with self.subTest(missing=missing):
                runtime = copy_runtime(os.path.join(self.root, f"runtime{index}"))
                os.remove(os.path.join(runtime, missing))
                output = self.path(f"book{index}.xlsx")

                result = self.run_task(value_task(output, 1), runtime_dir=runtime)

                if message is None:
                    self.assert_succeeded(result, output)
                    self.assertEqual(cell_text(load_workbook(output).active["A1"]), 1)
                else:
                    self.assert_failed(result, message)
                    self.assertFalse(os.path.exists(output))
                self.assert_no_temporaries()


class InputWorkbookTest(HelperTestCase):
    def make_input(self, value):
        path = self.path("input.xlsx")
        self.assert_succeeded(self.run_task(value_task(path, value)), path)
        return path

    def test_missing_input_fails_without_output(self):
        output = self.path("out.xlsx")
        result = self.run_task({"input": self.path("gone.xlsx"), "output": output, "actions": []})
        self.assert_failed(result, "scriptorix.exe failed with code 1")
        self.assertFalse(os.path.exists(output))
        self.assert_no_temporaries()

    def test_input_changed_after_the_engine_opened_it(self):
        """The engine works on what it read: the output is complete and reflects the original."""
        for change in ("remove", "replace"):
            for over_input in (False, True):
                with self.subTest(change=change, over_input=over_input):
                    self.run_changing_input(change, over_input)

    def run_changing_input(self, change, over_input):
        replacement = file_bytes(self.make_input("replacement"))
        source = self.make_input("original")
        output = source if over_input else self.path("out.xlsx")
        opened = self.path("opened.xlsx")
        task = {"input": source, "output": output, "actions": [
            # The engine tells it has read the input by saving a copy; then it dawdles.
            {"cmd": "rawJs", "js": "builder.SaveFile('xlsx', %s);" % json.dumps(opened)},
            {"cmd": "rawJs", "js": "var __zq_until = Date.now() + 1000;"
                                   " while (Date.now() < __zq_until) {}"},
            {"cmd": "setValue", "cell": "B1", "value": "edited"}]}
        helper = self.start(task)
        self.wait_for(opened, helper)
        os.remove(source)
        if change == "replace":
            with open(source, "wb") as file:
                file.write(replacement)

        result = self.finish(helper)

        self.assert_succeeded(result, output)
        sheet = load_workbook(output).active
        self.assertEqual((cell_text(sheet["A1"]), cell_text(sheet["B1"])), ("original", "edited"))
        if change == "replace" and not over_input:
            self.assertEqual(file_bytes(source), replacement)
        if change == "remove" and not over_input:
            self.assertFalse(os.path.exists(source))
        self.assert_no_temporaries()
        expected = {"task.json", "opened.xlsx", os.path.basename(output)}
        if os.path.exists(source):
            expected.add(os.path.basename(source))
        self.assert_folder_holds(self.work, expected)
        for name in expected:
            if os.path.exists(self.path(name)):
                os.remove(self.path(name))

    def wait_for(self, path, helper, timeout=60):
        deadline = time.monotonic() + timeout
        while not os.path.exists(path):
            if helper.poll() is not None or time.monotonic() > deadline:
                self.fail(f"the engine never wrote {path}: {self.finish(helper)}")
            time.sleep(0.01)


class SameOutputTest(HelperTestCase):
    def test_concurrent_runs_writing_one_output(self):
        """Whoever saves last wins whole: a reader never sees a half-written workbook."""
        output = self.path("shared.xlsx")
        runs = 4
        broken = []
        stop = threading.Event()

        def watch():
            while not stop.is_set():
                try:
                    with zipfile.ZipFile(output) as package:
                        bad = package.testzip()
                    if bad is not None:
                        broken.append(bad)
                except FileNotFoundError:
                    pass
                except (zipfile.BadZipFile, OSError, EOFError) as error:
                    broken.append(repr(error))

        watcher = threading.Thread(target=watch)
        watcher.start()
        self.addCleanup(watcher.join)
        self.addCleanup(stop.set)
        for round_number in range(3):
            with self.subTest(round=round_number):
                helpers = []
                for run in range(runs):
                    js = ("var s = Api.GetActiveSheet(); for (var i = 1; i <= 2000; ++i)"
                          " s.GetRange('A' + i).SetValue(%d);" % run)
                    task = {"output": output, "actions": [{"cmd": "rawJs", "js": js}]}
                    helpers.append(self.start(self.write_task(task, f"task{run}.json")))
                results = [self.finish(helper) for helper in helpers]

                for result in results:
                    self.assertEqual(result.returncode, 0, result)
                sheet = self.assert_complete_workbook(output).active
                column = {sheet.cell(row=row, column=1).value for row in range(1, 2001)}
                self.assertEqual(len(column), 1, "the output mixes several runs")
                self.assertIn(column.pop(), range(runs))
                self.assert_folder_holds(self.work, ["shared.xlsx"] +
                                         [f"task{run}.json" for run in range(runs)])
                self.assert_no_temporaries()
        stop.set()
        watcher.join()
        self.assertEqual(broken, [], "a reader saw a broken output file")


if __name__ == "__main__":
    unittest.main()
