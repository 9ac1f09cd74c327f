#!/usr/bin/env python3
"""Checks the built help: help.chm is a compiled help file holding every page, every entry of
the contents tree and the index leads to a page (and to an anchor on it) that exists, no page
links to a page or an anchor that does not exist, and every page is compiled in.

Usage: check_help.py HELP_CHM HTML_DIR SOURCE_DIR
  HELP_CHM    the compiled help file
  HTML_DIR    the folder of the pages as the browser gets them
  SOURCE_DIR  the folder holding help.hhp, help.hhc and help.hhk
"""

import sys
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import unquote, urlsplit


class PageParser(HTMLParser):
    """Collects a page's link targets, its anchors, and the Local values of sitemap objects."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links = []
        self.anchors = set()
        self.locals = []
        self.names = []
        self.title = ""
        self._in_title = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ("id", "name"):
            if name in attrs and tag != "param" and tag != "meta":
                self.anchors.add(attrs[name])
        if tag in ("a", "link") and attrs.get("href"):
            self.links.append(attrs["href"])
        if tag in ("img", "script") and attrs.get("src"):
            self.links.append(attrs["src"])
        if tag == "param" and (attrs.get("name") or "").lower() == "local":
            self.locals.append(attrs.get("value") or "")
        if tag == "param" and (attrs.get("name") or "").lower() == "name":
            self.names.append(self.get_starttag_text())
        if tag == "title":
            self._in_title = True

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def parse(path):
    parser = PageParser()
    parser.feed(path.read_text(encoding="utf-8"))
    parser.close()
    return parser


def project_files(hhp):
    """The [FILES] section of a help project."""
    files, in_files = [], False
    for line in hhp.read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if line.startswith("["):
            in_files = line.upper() == "[FILES]"
        elif in_files and line and not line.startswith(";"):
            files.append(line)
    return files


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    chm, html_dir, source_dir = Path(argv[1]), Path(argv[2]), Path(argv[3])
    faults = []

    if not chm.is_file():
        faults.append(f"{chm}: missing")
        data = b""
    else:
        data = chm.read_bytes()
        if not data.startswith(b"ITSF"):
            faults.append(f"{chm}: not a compiled help file (no ITSF signature)")

    pages = sorted(p.name for p in html_dir.glob("*.html"))
    if "index.html" not in pages:
        faults.append(f"{html_dir}: no index.html")
    parsed = {name: parse(html_dir / name) for name in pages}

    def check_target(where, href):
        parts = urlsplit(href)
        if parts.scheme or parts.netloc:
            faults.append(f"{where}: link to an outside resource {href!r}")
            return
        target = unquote(parts.path) or None
        if target is not None and not (html_dir / target).is_file():
            faults.append(f"{where}: link to {href!r}, which does not exist")
            return
        if parts.fragment:
            page = target or where.split(":")[0]
            if page.endswith(".html") and parts.fragment not in parsed[page].anchors:
                faults.append(f"{where}: link to {href!r}, whose anchor does not exist")

    for name, page in parsed.items():
        if not page.title.strip():
            faults.append(f"{name}: no title")
        for href in page.links:
            check_target(name, href)

    for sitemap in ("help.hhc", "help.hhk"):
        parsed_map = parse(source_dir / sitemap)
        entries = parsed_map.locals
        # chmcmd does not decode references in a sitemap's names: it splits the entry at them.
        for name in parsed_map.names:
            if "&" in name:
                faults.append(f"{sitemap}: a character reference in {name}")
        if not entries:
            faults.append(f"{sitemap}: no entries")
        for local in entries:
            check_target(sitemap, local)

    listed = project_files(source_dir / "help.hhp")
    for name in listed:
        if not (html_dir / name).is_file():
            faults.append(f"help.hhp: lists {name}, which does not exist")
    for name in pages + ["moxalo.css"]:
        if name not in listed:
            faults.append(f"help.hhp: does not list {name}, so the help file lacks it")
        # The compiled file's directory names every file it holds, as "/name".
        elif data and ("/" + name).encode() not in data:
            faults.append(f"{chm}: does not hold {name}")

    for fault in faults:
        print(fault, file=sys.stderr)
    if not faults:
        print(f"{chm}: {len(pages)} pages, links, contents and index in order")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
