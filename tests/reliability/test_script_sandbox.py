"""A task's verbatim script reaches the outside world only through builder."""

import json
import os
import unittest

from harness import HelperTestCase, read_json

# Host facilities of browsers, Node, Deno, Bun, workers and engine shells.
HOST_NAMES = ["require", "process", "XMLHttpRequest", "fetch", "WebSocket", "Worker",
              "setTimeout", "setInterval", "setImmediate", "importScripts", "load", "loadFile",
              "readFile", "readline", "read", "print", "Deno", "Bun", "os", "module", "exports",
              "Packages", "java", "quit", "system", "navigator", "document", "localStorage",
              "indexedDB", "SharedArrayBuffer"]


def attempts(target):
    """Ways a script could try to create target; each swallows its own failure."""
    path = json.dumps(target)
    return [
        f"require('fs').writeFileSync({path}, 'x')",
        "process.binding('fs')",
        f"Deno.writeTextFileSync({path}, 'x')",
        f"Bun.write({path}, 'x')",
        f"os.file.writeTypedArrayToFile({path}, new Uint8Array(1))",
        f"writeFile({path}, 'x')",
        f"load({path})",
        f"var r = new XMLHttpRequest(); r.open('PUT', 'file://' + {path}); r.send('x')",
        f"fetch('file://' + {path}, {{method: 'PUT', body: 'x'}})",
        f"new Worker({path})",
        f"importScripts({path})",
        f"Function('return this')().require('child_process').execSync('touch ' + {path})",
        "this.constructor.constructor('return process')().exit(3)",
    ]


class ScriptSandboxTest(HelperTestCase):
    def test_host_facilities_are_absent(self):
        probe = ("var __zq_g = Function('return this')();" +
                 "".join(f" __zq_results[{json.dumps(name)}] = typeof __zq_g[{json.dumps(name)}];"
                         for name in HOST_NAMES) +
                 "".join(f" __zq_results['free {name}'] = (function() {{ try {{ return typeof "
                         f"eval({json.dumps(name)}); }} catch (e) {{ return 'undefined'; }} }})();"
                         for name in HOST_NAMES))
        output = self.path("book.xlsx")
        answers = self.path("answers.json")
        result = self.run_task({"output": output, "resultOutput": answers,
                                "actions": [{"cmd": "rawJs", "js": probe}]})
        self.assert_succeeded(result, output)
        found = read_json(answers)
        self.assertEqual(len(found), 2 * len(HOST_NAMES))
        self.assertEqual({name: kind for name, kind in found.items() if kind != "undefined"}, {})

    def test_attempts_to_write_a_file_fail(self):
        target = self.path("escaped.txt")
        lines = [f"try {{ {attempt}; }} catch (e) {{ __zq_results[{index}] = String(e); }}"
                 for index, attempt in enumerate(attempts(target))]
        output = self.path("book.xlsx")
        answers = self.path("answers.json")
        result = self.run_task({"output": output, "resultOutput": answers,
                                "actions": [{"cmd": "rawJs", "js": line} for line in lines]})
        self.assert_succeeded(result, output)
        self.assertFalse(os.path.exists(target))
        # Every attempt threw: none of them quietly did something else.
        self.assertEqual(sorted(read_json(answers)), sorted(str(i) for i in range(len(lines))))
        self.assert_folder_holds(self.work, ["answers.json", "book.xlsx", "task.json"])
        self.assert_no_temporaries()


if __name__ == "__main__":
    unittest.main()
