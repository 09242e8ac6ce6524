#!/usr/bin/env python3
"""HTML pages and RTF reports of real files and of a hostile data set open in
other programs: xmllint parses every page without an error, unrtf converts
every report, and both keep the header values as text.

    report_conformance.py REPORT_SAMPLE TESTDATA_DIR
Exit 77 (skipped) when the test data or a tool is missing."""

import html.parser
import os
import re
import shutil
import subprocess
import sys

SKIP = 77


class Cells(html.parser.HTMLParser):
    """The text of every TD, grouped by TR, and the names of the elements seen."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows, self.tags, self.cell = [], set(), None

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)
        if tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self.cell = ""

    def handle_endtag(self, tag):
        if tag == "td" and self.cell is not None and self.rows:
            self.rows[-1].append(self.cell.rstrip("\r\n"))
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def rtf_view(text):
    """unrtf writes the \\uN? fallback for every character past ASCII and
    one blank for a run of them."""
    return re.sub(" +", " ", "".join(c if ord(c) < 128 else "?" for c in text))


def check(sample, source, out_dir):
    """The failures for one input, as messages."""
    os.makedirs(out_dir, exist_ok=True)
    run = subprocess.run([sample, out_dir, source], capture_output=True, text=True)
    if run.returncode != 0:
        return [f"{source}: report_sample failed: {run.stderr.strip()}"]
    failures = []
    page = os.path.join(out_dir, "page.html")
    lint = subprocess.run(["xmllint", "--html", "--noout", page], capture_output=True, text=True)
    if lint.returncode != 0 or lint.stderr:
        failures.append(f"{source}: xmllint: {lint.stderr.strip()}")
    with open(os.path.join(out_dir, "plain.txt"), encoding="utf-8") as f:
        lines = f.read().split("\n")[2:-1]
    rows = [line.split("\t") for line in lines]
    parser = Cells()
    with open(page, encoding="ascii") as f:
        parser.feed(f.read())
    if "script" in parser.tags:
        failures.append(f"{source}: a script element in the page")
    html_rows = [r for r in parser.rows if len(r) == 5][1:]  # after the column titles
    if len(html_rows) != len(rows):
        failures.append(f"{source}: {len(html_rows)} HTML rows for {len(rows)} header rows")
    for (tag, _name, _vr, _length, value), cells in zip(rows, html_rows):
        if value.endswith("...") or value == '"Long Size Data"':
            continue  # the two formats cut at other limits
        if cells[0].replace(", ", ",") != tag or cells[4].replace("?", "") != value.replace("?", ""):
            failures.append(f"{source}: HTML row {cells} does not hold {tag} {value!r}")
    for report in ("header.rtf", "report.rtf"):
        text = subprocess.run(["unrtf", "--text", report], cwd=out_dir, capture_output=True,
                              text=True, errors="replace")
        if text.returncode != 0:
            failures.append(f"{source}: unrtf {report}: {text.stderr.strip()}")
            continue
        converted = rtf_view(text.stdout)
        for line in lines:
            if rtf_view(line) not in converted:
                failures.append(f"{source}: {report} lacks the row {line!r}")
    return failures


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    sample, testdata = sys.argv[1], sys.argv[2]
    manifest = os.path.join(testdata, "MANIFEST.tsv")
    if not os.path.isfile(manifest) or not shutil.which("xmllint") or not shutil.which("unrtf"):
        print("test data, xmllint or unrtf missing: skipped")
        return SKIP
    with open(manifest, encoding="utf-8") as f:
        paths = [line.split("\t")[0] for line in f.read().splitlines()[1:]]
    # Every twelfth DICOM file: each folder of the test data once or so.
    chosen = [p for p in paths if p.endswith(".dcm")][::12]
    root = f"/tmp/tv-reports-{os.getpid()}"
    failures = check(sample, "--hostile", os.path.join(root, "hostile"))
    page = open(os.path.join(root, "hostile", "page.html"), encoding="ascii").read()
    if "&lt;script&gt;alert(1)&lt;/script&gt;" not in page:
        failures.append("hostile: the Patient's Name is not shown as text")
    for i, path in enumerate(chosen):
        failures += check(sample, os.path.join(testdata, path), os.path.join(root, str(i)))
    shutil.rmtree(root, ignore_errors=True)
    for failure in failures:
        print(failure)
    print(f"{len(chosen) + 1} inputs, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
