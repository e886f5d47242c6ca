#!/usr/bin/env python3
"""Checks real pxs-fom outputs against the JSON Schemas in schemas/.

Usage: check_json_schema.py TOOL SCHEMA_DIR MODEL...

Each MODEL is read with --json (one document) and --trace (every line);
all must match their schema. A schema that accepts anything would pass
that too, so a few outputs broken on purpose must be rejected as well.
Exits 1 on the first kind of mismatch found, listing every mismatch.
"""

import copy
import json
import subprocess
import sys

import jsonschema


def load_validator(path):
    with open(path, encoding="utf-8") as f:
        schema = json.load(f)
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def run(tool, mode, model):
    done = subprocess.run([tool, "-q", mode, model], capture_output=True, text=True)
    if done.returncode != 0 or not done.stdout:
        raise SystemExit(f"{model}: pxs-fom {mode} failed ({done.returncode}): {done.stderr}")
    return done.stdout


def problems(validator, value):
    return [e.message for e in validator.iter_errors(value)]


def broken_documents(doc):
    """Documents each with one fault the schema must catch."""
    out = []
    bad = copy.deepcopy(doc)
    bad["surplus"] = 1
    out.append(("unknown top-level key", bad))
    bad = copy.deepcopy(doc)
    del bad["objectClasses"]
    out.append(("missing objectClasses", bad))
    for cls in doc["objectClasses"]:
        if cls["attributes"]:
            bad = copy.deepcopy(doc)
            index = doc["objectClasses"].index(cls)
            bad["objectClasses"][index]["attributes"][0]["order"] = 0
            out.append(("order as a number", bad))
            bad = copy.deepcopy(doc)
            bad["objectClasses"][index]["attributes"][0]["sharing"] = "Sometimes"
            out.append(("unknown sharing name", bad))
            break
    if doc["definitions"]:
        bad = copy.deepcopy(doc)
        bad["definitions"][0]["line"] = "12"
        out.append(("definition line as text", bad))
    return out


def broken_lines(line):
    """Trace lines each with one fault the schema must catch."""
    out = []
    bad = dict(line, op=line["op"] + "X")
    out.append(("unknown operation", bad))
    bad = dict(line, args=line["args"] + [None])
    out.append(("one argument too many", bad))
    if "ret" in line:
        bad = dict(line)
        del bad["ret"]
        out.append(("result missing", bad))
    else:
        out.append(("result where none is returned", dict(line, ret=True)))
    return out


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    tool, schema_dir, models = argv[1], argv[2], argv[3:]
    document = load_validator(f"{schema_dir}/pxs-fom.json.schema.json")
    trace = load_validator(f"{schema_dir}/pxs-fom.trace.schema.json")
    failures = []
    checked_lines = 0
    for model in models:
        doc = json.loads(run(tool, "--json", model))
        failures += [f"{model} --json: {p}" for p in problems(document, doc)]
        for what, bad in broken_documents(doc):
            if document.is_valid(bad):
                failures.append(f"{model} --json: schema accepts a document with {what}")
        ops_seen = set()
        for number, text in enumerate(run(tool, "--trace", model).splitlines(), 1):
            line = json.loads(text)
            checked_lines += 1
            failures += [f"{model} --trace line {number}: {p}" for p in problems(trace, line)]
            if line.get("op") in ops_seen:
                continue
            ops_seen.add(line.get("op"))
            for what, bad in broken_lines(line):
                if trace.is_valid(bad):
                    failures.append(f"{model} --trace line {number}: schema accepts {what}")
    for failure in failures:
        print(failure, file=sys.stderr)
    print(f"{len(models)} models, {checked_lines} trace lines, {len(failures)} mismatches")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
