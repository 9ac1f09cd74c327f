#!/usr/bin/env python3
"""Checks the built help: help.chm is a compiled help file holding every page, every entry of
the contents tree and the index leads to a page (and to an anchor on it) that exists, no page
links to a page or an anchor that does not exist, and every page is compiled in.

Usage: check_help.py HELP_CHM HTML_DIR SOURCE_DIR (the folder of help.hhp, help.hhc, help.hhk)
"""

import sys
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import unquote, urlsplit


class PageParser(HTMLParser):
    """Collects a page's link targets, anchors and title, and its sitemap objects' parameters."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.links, self.anchors, self.locals, self.names = [], set(), [], []
        self.title, self._in_title = "", False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        for name in ("id", "name"):
            if name in attrs and tag not in ("param", "meta"):
                self.anchors.add(attrs[name])
        link = attrs.get("href") if tag in ("a", "link") else attrs.get("src")
        if tag in ("a", "link", "img", "script") and link:
            self.links.append(link)
        param = (attrs.get("name") or "").lower() if tag == "param" else ""
        if param == "local":
            self.locals.append(attrs.get("value") or "")
        elif param == "name":
            self.names.append(self.get_starttag_text())
        self._in_title = tag == "title"

    def handle_endtag(self, tag):
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
    data = chm.read_bytes() if chm.is_file() else b""
    if not data.startswith(b"ITSF"):
        faults.append(f"{chm}: missing or not a compiled help file (no ITSF signature)")

    pages = sorted(p.name for p in html_dir.glob("*.html"))
    if "index.html" not in pages:
        faults.append(f"{html_dir}: no index.html")
    parsed = {name: parse(html_dir / name) for name in pages}

    def check_target(where, href):
        parts = urlsplit(href)
        target = unquote(parts.path) or None
        if parts.scheme or parts.netloc:
            faults.append(f"{where}: link to an outside resource {href!r}")
        elif target is not None and not (html_dir / target).is_file():
            faults.append(f"{where}: link to {href!r}, which does not exist")
        elif parts.fragment:
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
        # chmcmd does not decode references in a sitemap's names: it splits the entry at them.
        faults += [f"{sitemap}: a character reference in {n}" for n in parsed_map.names if "&" in n]
        if not parsed_map.locals:
            faults.append(f"{sitemap}: no entries")
        for local in parsed_map.locals:
            check_target(sitemap, local)

    listed = project_files(source_dir / "help.hhp")
    faults += [f"help.hhp: lists {n}, which does not exist" for n in listed
               if not (html_dir / n).is_file()]
    for name in pages + ["moxalo.css"]:
        if name not in listed:
            faults.append(f"help.hhp: does not list {name}, so the help file lacks it")
        # The compiled file's directory names every file it holds, as "/name".
        elif data and ("/" + name).encode() not in data:
            faults.append(f"{chm}: does not hold {name}")

    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
