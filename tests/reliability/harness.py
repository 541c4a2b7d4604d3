"""Runs the built helper on the built engine in a private folder and checks what a run leaves."""

import json
import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile

HELPER = os.environ.get("ZQ_HELPER", "")
RUNTIME_DIR = os.environ.get("ZQ_RUNTIME_DIR", "")
ENGINE_NAME = "scriptorix.exe"
RUN_TIMEOUT = 120

_OOXML_ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def ooxml_unescape(text):
    """Undoes the _xHHHH_ escape that Office Open XML uses for characters XML cannot hold."""
    return _OOXML_ESCAPE.sub(lambda match: chr(int(match.group(1), 16)), text)


class Completed:
    def __init__(self, returncode, stdout, stderr):
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr

    def __repr__(self):
        return f"exit {self.returncode}, stdout {self.stdout!r}, stderr {self.stderr!r}"


class HelperTestCase(unittest.TestCase):
    """Each test gets its own work folder and its own TMPDIR, both removed afterwards."""

    def setUp(self):
        if not HELPER or not os.path.isfile(HELPER):
            self.fail("ZQ_HELPER does not name the built helper")
        if not os.path.isfile(os.path.join(RUNTIME_DIR, ENGINE_NAME)):
            self.fail("ZQ_RUNTIME_DIR does not name the built runtime")
        self.root = tempfile.mkdtemp(prefix="zq_reliability_")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.work = self.make_dir("work")
        self.tmpdir = self.make_dir("tmp")

    def make_dir(self, name):
        path = os.path.join(self.root, name)
        os.makedirs(path, exist_ok=True)
        return path

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def env(self, extra=None):
        env = dict(os.environ)
        env["TMPDIR"] = self.tmpdir
        env.pop("ZQ_SCRIPTORIX_RUNTIME_DIR", None)
        if extra:
            env.update(extra)
        return env

    def write_task(self, task, name="task.json", ascii_only=True):
        path = self.path(name)
        with open(path, "w", encoding="utf-8") as file:
            json.dump(task, file, ensure_ascii=ascii_only)
        return path

    def command(self, task_path, runtime_dir=None):
        return [HELPER, task_path, runtime_dir or RUNTIME_DIR]

    def start(self, task, runtime_dir=None, env=None):
        """Starts the helper on a task without waiting; the caller collects it with finish()."""
        task_path = task if isinstance(task, str) else self.write_task(task)
        return subprocess.Popen(self.command(task_path, runtime_dir), cwd=self.work,
                                env=env or self.env(), stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)

    def finish(self, process, timeout=RUN_TIMEOUT):
        try:
            out, err = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.communicate()
            self.fail("the helper did not end in time")
        return Completed(process.returncode, out.decode("utf-8", "replace"),
                         err.decode("utf-8", "replace"))

    def run_task(self, task, runtime_dir=None, env=None):
        return self.finish(self.start(task, runtime_dir, env))

    # What every run must leave behind.

    def assert_succeeded(self, result, output):
        self.assertEqual(result.returncode, 0, result)
        self.assertEqual(result.stderr, "", result)
        self.assertTrue(result.stdout.startswith("Created "), result)
        self.assert_complete_workbook(output)

    def assert_failed(self, result, message=None):
        """One "Error: " line on standard error, nothing on standard output, exit code 1."""
        self.assertEqual(result.returncode, 1, result)
        self.assertEqual(result.stdout, "", result)
        lines = [line for line in result.stderr.splitlines() if line.startswith("Error: ")]
        self.assertEqual(len(lines), 1, result)
        self.assertTrue(result.stderr.endswith("\n"), result)
        if message is not None:
            self.assertIn(message, lines[0], result)

    def assert_no_temporaries(self):
        self.assertEqual(sorted(os.listdir(self.tmpdir)), [], "the run left temporary files")

    def assert_folder_holds(self, folder, names):
        """Nothing but the named entries: no half-written or temporary files beside them."""
        self.assertEqual(sorted(os.listdir(folder)), sorted(names))

    def assert_complete_workbook(self, path):
        self.assertTrue(os.path.isfile(path), path)
        with zipfile.ZipFile(path) as package:
            self.assertIsNone(package.testzip(), path)
            self.assertIn("[Content_Types].xml", package.namelist())
        return load_workbook(path)


def load_workbook(path):
    import openpyxl  # imported late so that a missing module fails the test, not the collection

    return openpyxl.load_workbook(path)


def cell_text(cell):
    value = cell.value
    return ooxml_unescape(value) if isinstance(value, str) else value


def read_json(path):
    with open(path, encoding="utf-8") as file:
        return json.load(file)


def file_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def copy_runtime(destination):
    shutil.copytree(RUNTIME_DIR, destination, symlinks=True)
    return destination


def children_of(pid):
    """Process ids whose parent is pid, read from /proc."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", encoding="utf-8", errors="replace") as file:
                stat = file.read()
        except OSError:
            continue
        # The command name is in parentheses and may hold blanks: split after its closing one.
        fields = stat[stat.rfind(")") + 2:].split()
        if len(fields) > 1 and int(fields[1]) == pid:
            found.append(int(entry))
    return found


def process_name(pid):
    try:
        with open(f"/proc/{pid}/comm", encoding="utf-8") as file:
            return file.read().strip()
    except OSError:
        return ""


def can_mount():
    """True when this process may mount file systems (root with the capability)."""
    if os.geteuid() != 0 or not shutil.which("mount"):
        return False
    probe = tempfile.mkdtemp(prefix="zq_mount_probe_")
    try:
        done = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=16k", "tmpfs", probe],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if done.returncode != 0:
            return False
        subprocess.run(["umount", probe], check=True)
        return True
    finally:
        os.rmdir(probe)


def mount(test, args, target):
    """Mounts for the length of the test; a remount changes a mount that is already undone."""
    subprocess.run(["mount", *args, target], check=True)
    if not any(arg.startswith("remount") for arg in args):
        test.addCleanup(subprocess.run, ["umount", "-l", target])
