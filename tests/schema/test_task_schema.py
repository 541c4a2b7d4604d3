"""The task schema against the examples, the fixtures and, once built, the helper itself.

Fixtures in tasks/valid must pass the schema and the helper's own checks; fixtures in
tasks/rejected must fail both, the helper with exactly the message noted for each in
tasks/expected_errors.json. Running the helper keeps the two from drifting apart.
"""
import copy
import functools
import json
import os
import pathlib
import random
import stat
import subprocess
import tempfile
import unittest

try:
    import jsonschema
except ImportError as error:  # pragma: no cover - the message is the point
    raise SystemExit(f"python3-jsonschema is missing ({error}): run scripts/install-deps.sh")

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parents[1]
SCHEMA_PATH = REPO / "schema" / "task.schema.json"
TASKS = HERE / "tasks"
VALID = sorted((TASKS / "valid").glob("*.json"))
REJECTED = sorted((TASKS / "rejected").glob("*.json"))
EXAMPLES = sorted((REPO / "examples").glob("*.json"))

# Stands in for the engine: every file the script saves is written, nothing else happens.
# Enough to tell a task the helper accepts from one it refuses while building the script.
FAKE_ENGINE = r"""#!/bin/sh
sed -n 's/^builder\.SaveFile("[^"]*", "\(.*\)");$/\1/p' "$1" |
  while IFS= read -r path; do printf '{}' > "$path" || exit 7; done
"""


# Values of every JSON kind, for mutating entries: each may be right for one key and wrong for
# another.
MUTATION_VALUES = [None, True, False, 0, 3, -1.5, "", "A1", "rows", "Rows", "cols", "A1:B2",
                   "Data!A1", "setValue", "getValue", [], [1], {}, {"r": 1, "g": 2, "b": 3},
                   {"r": 1, "g": 2}]


def load_json(path):
    with open(path, encoding="utf-8-sig") as handle:
        return json.load(handle)


def schema_validator():
    schema = load_json(SCHEMA_PATH)
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def schema_errors(validator, task):
    return [f"{'/'.join(map(str, error.absolute_path)) or '(root)'}: {error.message}"
            for error in validator.iter_errors(task)]


class TaskSchemaTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.validator = schema_validator()
        cls.expected = load_json(TASKS / "expected_errors.json")

    def test_fixture_folders_are_not_empty(self):
        self.assertTrue(VALID, "no valid task fixtures found")
        self.assertTrue(REJECTED, "no rejected task fixtures found")

    def test_every_rejected_fixture_has_exactly_one_noted_message(self):
        self.assertEqual(sorted(path.name for path in REJECTED), sorted(self.expected))
        for name, message in self.expected.items():
            with self.subTest(fixture=name):
                self.assertIsInstance(message, str)
                self.assertTrue(message)

    def test_valid_fixtures_pass(self):
        for path in VALID:
            with self.subTest(fixture=path.name):
                self.assertEqual(schema_errors(self.validator, load_json(path)), [])

    def test_examples_pass(self):
        if not EXAMPLES:
            self.skipTest("examples/ holds no task files yet")
        for path in EXAMPLES:
            with self.subTest(example=path.name):
                self.assertEqual(schema_errors(self.validator, load_json(path)), [])

    def test_rejected_fixtures_fail(self):
        for path in REJECTED:
            with self.subTest(fixture=path.name):
                self.assertFalse(self.validator.is_valid(load_json(path)),
                                 f"the schema accepts a task the helper refuses with "
                                 f"\"{self.expected.get(path.name)}\"")

    def test_valid_fixtures_use_every_command(self):
        schema = load_json(SCHEMA_PATH)
        commands = (set(schema["$defs"]["change"]["properties"]["cmd"]["enum"]) |
                    set(schema["$defs"]["readBack"]["properties"]["cmd"]["enum"]))
        self.assertEqual(len(commands), 29)
        used = {entry.get("cmd") for path in VALID
                for entry in load_json(path).get("actions", []) if isinstance(entry, dict)}
        self.assertEqual(commands - used, set())

    def test_a_result_entry_is_read_back_only_when_result_is_not_null(self):
        task = {"output": "book.xlsx", "actions": [
            {"cmd": "getValue", "cell": "A1", "result": None}]}
        self.assertNotEqual(schema_errors(self.validator, task), [])
        task["actions"][0] = {"cmd": "setValue", "cell": "A1", "value": 1, "result": None}
        self.assertEqual(schema_errors(self.validator, task), [])
        task["actions"][0]["result"] = "x"
        self.assertNotEqual(schema_errors(self.validator, task), [])


def helper_binary():
    build = pathlib.Path(os.environ.get("ZQ_BUILD_DIR", REPO / "build"))
    return build / "zq_builder_helper"


def single_key_mutations():
    """Entries of the valid fixtures, one per command and kind, each with one key changed to
    another value or removed: the helper and the schema must agree on every one."""
    seeds = {}
    for path in VALID:
        for entry in load_json(path)["actions"]:
            seeds.setdefault((entry["cmd"], entry.get("result") is not None), entry)
    keys = sorted({key for entry in seeds.values() for key in entry} | {"result"})
    for seed in seeds.values():
        for key in keys:
            if key in seed:
                removed = dict(seed)
                del removed[key]
                yield removed
            for value in MUTATION_VALUES:
                changed = copy.deepcopy(seed)
                changed[key] = copy.deepcopy(value)
                yield changed


@functools.lru_cache(maxsize=None)
def mutations_by_schema_verdict():
    validator = schema_validator()
    accepted, refused = [], []
    for entry in single_key_mutations():
        valid = validator.is_valid({"output": "o", "actions": [entry]})
        (accepted if valid else refused).append(entry)
    return accepted, refused


class HelperAgreementTest(unittest.TestCase):
    """Runs the built helper on the fixtures with a stand-in engine."""

    @classmethod
    def setUpClass(cls):
        cls.helper = helper_binary()
        if cls.helper.with_suffix(".exe").exists():
            raise unittest.SkipTest("the helper is a Windows build: the stand-in engine is a "
                                    "POSIX shell script and cannot run beside it")
        if not os.access(cls.helper, os.X_OK):
            raise unittest.SkipTest(f"helper not built at {cls.helper}: build the "
                                    "zq_builder_helper target to compare it with the schema")
        cls.expected = load_json(TASKS / "expected_errors.json")
        cls.scratch = tempfile.TemporaryDirectory(prefix="zq_schema_test_")
        cls.runtime = pathlib.Path(cls.scratch.name) / "runtime"
        cls.runtime.mkdir()
        engine = cls.runtime / "scriptorix.exe"
        engine.write_text(FAKE_ENGINE)
        engine.chmod(stat.S_IRWXU)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def run_helper(self, task_path, workdir):
        environment = dict(os.environ)
        environment.pop("ZQ_SCRIPTORIX_RUNTIME_DIR", None)
        return subprocess.run([str(self.helper), str(task_path), str(self.runtime)],
                              cwd=workdir, env=environment, capture_output=True,
                              timeout=60, check=False)

    def test_rejected_fixtures_fail_with_the_noted_message(self):
        for path in REJECTED:
            with self.subTest(fixture=path.name), tempfile.TemporaryDirectory() as workdir:
                run = self.run_helper(path, workdir)
                self.assertEqual(run.stderr.decode("utf-8", "replace"),
                                 f"Error: {self.expected[path.name]}\n")
                self.assertEqual(run.returncode, 1)
                self.assertEqual(run.stdout, b"")

    def run_entries(self, entries, workdir):
        task = {"output": str(pathlib.Path(workdir) / "book.xlsx"), "actions": entries}
        task_path = pathlib.Path(workdir) / "task.json"
        task_path.write_text(json.dumps(task), encoding="utf-8")
        return self.run_helper(task_path, workdir)

    def test_the_helper_accepts_every_mutation_the_schema_accepts(self):
        accepted, _ = mutations_by_schema_verdict()
        self.assertGreater(len(accepted), 1000)
        with tempfile.TemporaryDirectory() as workdir:
            # All in one task: one run checks them all, and only a failure needs more.
            run = self.run_entries(accepted, workdir)
            if run.returncode != 0:
                # The shortest failing prefix ends with the first entry the helper refuses.
                low, high = 0, len(accepted)
                while high - low > 1:
                    middle = (low + high) // 2
                    if self.run_entries(accepted[:middle], workdir).returncode == 0:
                        low = middle
                    else:
                        high = middle
                self.fail(f"the schema accepts {json.dumps(accepted[high - 1])}, the helper "
                          f"says {run.stderr.decode('utf-8', 'replace').strip()}")

    def test_the_helper_refuses_mutations_the_schema_refuses(self):
        _, refused = mutations_by_schema_verdict()
        self.assertGreater(len(refused), 1000)
        # A seeded sample: every refusal is its own run.
        sample = random.Random(20261208).sample(refused, 150)
        with tempfile.TemporaryDirectory() as workdir:
            accepted_by_helper = [json.dumps(entry) for entry in sample
                                  if self.run_entries([entry], workdir).returncode == 0]
        self.assertEqual(accepted_by_helper, [], "the schema refuses what the helper accepts")

    def test_valid_tasks_are_accepted(self):
        for path in VALID + EXAMPLES:
            with self.subTest(task=path.name), tempfile.TemporaryDirectory() as workdir:
                task = load_json(path)
                # Absolute paths, so the stand-in engine writes where the helper looks.
                task["output"] = str(pathlib.Path(workdir) / "out" / "book.xlsx")
                if task.get("resultOutput"):
                    task["resultOutput"] = str(pathlib.Path(workdir) / "answers.json")
                task_path = pathlib.Path(workdir) / path.name
                task_path.write_text(json.dumps(task), encoding="utf-8")
                run = self.run_helper(task_path, workdir)
                self.assertEqual(run.stderr.decode("utf-8", "replace"), "")
                self.assertEqual(run.returncode, 0)
                self.assertTrue(run.stdout.startswith(b'Created "'), run.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
