#!/usr/bin/python3
"""Turns docs/manual.md into one self-contained Manual.html for the package: the pictures
are embedded, so the page needs no folder beside it."""
import base64
import pathlib
import re
import sys

import markdown


def main() -> int:
    if len(sys.argv) != 4:
        print("usage: manual-html.py MANUAL.md OUT.html VERSION", file=sys.stderr)
        return 2
    source = pathlib.Path(sys.argv[1])
    body = markdown.markdown(source.read_text(encoding="utf-8"), extensions=["tables", "toc"])

    def embed(match: re.Match) -> str:
        picture = source.parent / match.group(1)
        data = base64.b64encode(picture.read_bytes()).decode("ascii")
        return f'src="data:image/png;base64,{data}"'

    body = re.sub(r'src="([^":]+\.png)"', embed, body)
    page = (
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
        f"<title>VORN Test Control {sys.argv[3]} - Operator's manual</title>\n"
        "<style>body{font-family:Segoe UI,Tahoma,sans-serif;max-width:50em;margin:2em auto;"
        "padding:0 1em;line-height:1.45}img{max-width:100%;border:1px solid #ccc}"
        "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:.3em .5em;"
        "vertical-align:top}code{background:#f3f3f3}</style>\n</head><body>\n"
        f"{body}\n<p><small>VORN Test Control {sys.argv[3]}</small></p>\n</body></html>\n"
    )
    pathlib.Path(sys.argv[2]).write_text(page, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
