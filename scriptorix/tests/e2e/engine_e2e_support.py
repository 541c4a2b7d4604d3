"""Runs the built helper and engine, and reads what they wrote with independent readers."""

import csv
import json
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD_DIR = os.environ.get("ZQ_BUILD_DIR", "")
SOURCE_DIR = os.environ.get("ZQ_SOURCE_DIR", "")
HELPER = os.path.join(BUILD_DIR, "zq_builder_helper")
RUNTIME = os.path.join(BUILD_DIR, "runtime")
ENGINE = os.path.join(RUNTIME, "scriptorix.exe")
SOFFICE = shutil.which("soffice") or shutil.which("libreoffice")
RUN_TIMEOUT = 300


class HelperCase(unittest.TestCase):
    """Each test gets a folder of its own; tasks run with it as working directory."""

    @classmethod
    def setUpClass(cls):
        for path in (HELPER, ENGINE):
            if not os.access(path, os.X_OK):
                raise AssertionError(f"{path} is not built (set ZQ_BUILD_DIR to the build folder)")

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="sx_e2e_")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def run_task(self, task, expect_success=True):
        """Writes the task, runs the helper on it, returns (exit code, stdout, stderr, results)."""
        with open(self.path("task.json"), "w", encoding="utf-8") as file:
            json.dump(task, file)
        process = subprocess.run([HELPER, "task.json"], cwd=self.folder, capture_output=True,
                                 text=True, timeout=RUN_TIMEOUT)
        if expect_success:
            self.assertEqual(process.returncode, 0, process.stderr)
        results = None
        result_file = task.get("resultOutput")
        if process.returncode == 0 and result_file:
            with open(self.path(result_file), encoding="utf-8") as file:
                results = json.load(file)
        return process.returncode, process.stdout, process.stderr, results

    def run_engine(self, script, cwd=None, engine=ENGINE):
        with open(self.path("script.js"), "w", encoding="utf-8") as file:
            file.write(script)
        return subprocess.run([engine, self.path("script.js")], cwd=cwd or self.folder,
                              capture_output=True, text=True, timeout=RUN_TIMEOUT)

    def libreoffice_csv(self, workbook):
        """The first sheet of the workbook as LibreOffice converts it to CSV, as rows."""
        if SOFFICE is None:
            self.skipTest("LibreOffice (soffice) is not installed: its reading is not checked")
        profile = tempfile.mkdtemp(prefix="sx_e2e_lo_")
        self.addCleanup(shutil.rmtree, profile, True)
        out = os.path.join(profile, "out")
        process = subprocess.run(
            [SOFFICE, f"-env:UserInstallation=file://{profile}/user", "--headless",
             "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir", out,
             workbook], capture_output=True, text=True, timeout=RUN_TIMEOUT)
        converted = os.path.join(out, os.path.splitext(os.path.basename(workbook))[0] + ".csv")
        self.assertTrue(os.path.exists(converted),
                        f"LibreOffice could not read {workbook}: {process.stdout} {process.stderr}")
        with open(converted, encoding="utf-8", newline="") as file:
            return list(csv.reader(file))
