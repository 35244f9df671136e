#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets from the inputs of the regular tests.

Configuration seeds: every string constant of tests/core/config_samples.h and the demo
configuration. Format seeds: those of them that are JSON, compact, with \\u escapes and as
UTF-16 with a byte-order mark. Progress seeds: every string literal handed to ParseProgress or written as
adv_save.txt in tests/files/. Run with --check to verify the committed corpus is current.
"""
import hashlib
import json
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"

# A raw literal R"(...)" or an ordinary one "...", possibly several adjacent ones.
LITERAL = re.compile(r'R"\((.*?)\)"|"((?:[^"\\\n]|\\.)*)"', re.S)
ESCAPE = re.compile(r'\\(x[0-9A-Fa-f]{1,2}|[0-7]{1,3}|.)', re.S)
SIMPLE = {"n": b"\n", "r": b"\r", "t": b"\t", "0": b"\0", "\\": b"\\", '"': b'"', "'": b"'"}


def unescape(text):
    out = bytearray()
    pos = 0
    for match in ESCAPE.finditer(text):
        out += text[pos:match.start()].encode("utf-8")
        code = match.group(1)
        if code[0] == "x":
            out.append(int(code[1:], 16))
        elif code[0].isdigit():
            out.append(int(code, 8) & 0xFF)
        else:
            out += SIMPLE.get(code, code.encode("utf-8"))
        pos = match.end()
    out += text[pos:].encode("utf-8")
    return bytes(out)


def literals_after(source, start):
    """The adjacent literals that begin at `start`, joined as the compiler would."""
    value = b""
    pos = start
    while True:
        while pos < len(source) and source[pos] in " \t\r\n":
            pos += 1
        match = LITERAL.match(source, pos)
        if not match:
            return value
        if match.group(1) is not None:
            value += match.group(1).encode("utf-8")
        else:
            value += unescape(match.group(2))
        pos = match.end()


def config_seeds():
    source = (ROOT / "tests/core/config_samples.h").read_text(encoding="utf-8")
    seeds = [literals_after(source, m.end()) for m in re.finditer(r"std::string_view \w+ =", source)]
    seeds.append((ROOT / "demo/bin/adv.json").read_bytes())
    seeds.append((ROOT / "demo/wine/bin/adv.json").read_bytes())
    return seeds


def format_seeds():
    seeds = []
    for seed in config_seeds():
        try:
            document = json.loads(seed.decode("utf-8-sig"))
        except ValueError:
            continue
        seeds.append(json.dumps(document, ensure_ascii=False, separators=(",", ":")).encode("utf-8"))
        seeds.append(json.dumps(document, indent=1).encode("utf-8"))
        seeds.append(json.dumps(document, ensure_ascii=False).encode("utf-16"))
    return seeds


def progress_seeds():
    seeds = []
    for path in sorted((ROOT / "tests/files").glob("progress_*_test.cpp")):
        source = path.read_text(encoding="utf-8")
        for m in re.finditer(r'ParseProgress\(|Write\("adv_save\.txt",', source):
            seeds.append(literals_after(source, m.end()))
    return seeds


def wanted():
    files = {}
    for name, seeds in (("config", config_seeds()), ("format", format_seeds()),
                        ("progress", progress_seeds())):
        for seed in seeds:
            if seed:
                files[f"{name}/{hashlib.sha1(seed).hexdigest()[:16]}"] = seed
    return files


def main():
    files = wanted()
    if "--check" in sys.argv:
        present = {str(p.relative_to(CORPUS)): p.read_bytes() for p in CORPUS.rglob("*") if p.is_file()}
        if present != files:
            print("fuzz corpus is not what make_corpus.py writes; run it", file=sys.stderr)
            return 1
        return 0
    for sub in ("config", "format", "progress"):
        for old in (CORPUS / sub).glob("*") if (CORPUS / sub).exists() else []:
            old.unlink()
        (CORPUS / sub).mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (CORPUS / name).write_bytes(data)
    print(f"wrote {len(files)} seeds to {CORPUS}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
