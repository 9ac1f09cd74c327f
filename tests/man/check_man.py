#!/usr/bin/env python3
"""Checks the manual pages: each formats without a warning from groff, and moxalo-cli(1) names
every command and option that `moxalo-cli --help` names.

Usage: check_man.py MAN_DIR MOXALO_CLI
"""

import os
import re
import subprocess
import sys
from pathlib import Path

PAGES = ["moxalo.1", "moxalo-cli.1", "moxalo-regedit.1", "moxalo-notepad.1"]


def render(page):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    run = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-rLL=200n", str(page)],
                         capture_output=True, env=env, check=False)
    text = re.sub(r".\x08", "", run.stdout.decode("utf-8"))  # bold and underline overstrikes
    # Typographic hyphens back to the plain ones the help text uses.
    return text.replace("\u2010", "-").replace("\u2212", "-"), run.stderr.decode("utf-8"), run.returncode


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    man_dir, cli = Path(argv[1]), argv[2]
    faults = []
    rendered = {}
    for name in PAGES:
        text, warnings, status = render(man_dir / name)
        rendered[name] = text
        if status != 0 or warnings.strip():
            faults.append(f"{name}: groff: {warnings.strip() or 'status %d' % status}")
        for section in ("NAME", "SYNOPSIS", "DESCRIPTION", "SEE ALSO"):
            if not re.search(rf"^{section}$", text, re.M):
                faults.append(f"{name}: no {section} section")

    usage = subprocess.run([cli, "--help"], capture_output=True, text=True, check=False).stdout
    commands = re.findall(r"^  ([a-z][a-z-]*)(?: |$)", usage.split("Global options")[0], re.M)
    options = set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", usage))
    if len(commands) < 5 or not options:
        faults.append(f"{cli} --help: no commands or options found in:\n{usage}")
    page = rendered["moxalo-cli.1"]
    for command in commands:
        if not re.search(rf"^ {{7}}{re.escape(command)}\b", page, re.M):
            faults.append(f"moxalo-cli.1: command {command} is not described")
    for option in sorted(options):
        if not re.search(rf"(?<![\w-]){re.escape(option)}(?![\w-])", page):
            faults.append(f"moxalo-cli.1: option {option} is not described")

    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
