"""Checks that the documents keep up with the code.

messages: both READMEs' tables of messages and the two manual pages list
exactly the lines the programs can print from the failure list in
src/codec/outcome.h (those whose place is "programs" or "everywhere").
tables-and-links: every Markdown table in the READMEs and docs/ keeps its
number of columns on every row, and every relative link and picture
resolves to a file.

Usage: docs_check.py SOURCE_DIR messages|tables-and-links"""
import pathlib
import re
import sys

FAILURE = re.compile(r'X\((\w+), (\w+), "([^"]*)"\)')


def program_lines(source):
    """The failure lines the programs print, as patterns: a placeholder
    ({name}, {detail}, {line}) stands for anything."""
    header = (source / "src" / "codec" / "outcome.h").read_text(encoding="utf-8")
    patterns = {}
    for name, place, line in FAILURE.findall(header):
        if name != "none" and place in ("programs", "everywhere"):
            parts = re.split(r"\{\w+\}", line)
            patterns[line] = re.compile(".+".join(re.escape(part) for part in parts) + "$")
    return patterns


def readme_lines(path):
    """The `Error: ...` lines of a README's table of messages."""
    return re.findall(r"^\| `(Error: [^`]*)`", path.read_text(encoding="utf-8"), re.MULTILINE)


def manual_lines(path):
    """The `Error: ...` lines of a manual page's DIAGNOSTICS: each .B or .BI
    line's words as roff shows them (.B joins them with spaces, .BI with
    none; quoted words keep their spaces)."""
    found = []
    for line in path.read_text(encoding="utf-8").splitlines():
        macro = re.match(r"\.(BI?) ", line)
        if not macro:
            continue
        words = re.findall(r'"([^"]*)"|(\S+)', line.split(" ", 1)[1])
        text = (" " if macro.group(1) == "B" else "").join(quoted or bare for quoted, bare in words)
        if text.startswith("Error: "):
            found.append(text)
    return found


def unmatched(patterns, lines, where):
    """What lists the lines does not list, and what it lists beyond them."""
    problems = []
    for line, pattern in patterns.items():
        if not any(pattern.match(listed) for listed in lines):
            problems.append(f"{where} does not list {line!r}")
    for listed in lines:
        matches = [line for line, pattern in patterns.items() if pattern.match(listed)]
        if len(matches) != 1:
            problems.append(f"{where} lists {listed!r}, which matches {matches or 'no failure'}")
    return problems


def check_messages(source):
    patterns = program_lines(source)
    problems = []
    for readme in ("README.md", "README.pt-BR.md"):
        problems += unmatched(patterns, readme_lines(source / readme), readme)
    manuals = ["docs/bmp2data.1", "docs/data2bmp.1"]
    both = [line for manual in manuals for line in manual_lines(source / manual)]
    problems += unmatched(patterns, both, " and ".join(manuals))
    return problems


def markdown_files(source):
    return [source / "README.md", source / "README.pt-BR.md", *sorted((source / "docs").glob("*.md"))]


def check_tables_and_links(source):
    problems = []
    for path in markdown_files(source):
        name = path.relative_to(source)
        lines = path.read_text(encoding="utf-8").splitlines()
        fenced = False
        columns = None
        rows = 0
        for number, line in enumerate(lines, 1):
            if line.lstrip().startswith("```"):
                fenced = not fenced
            if fenced:
                continue
            row = line.strip()
            if row.startswith("|") and row.endswith("|"):
                # Cells between unescaped bars; a bar inside code stays in its cell.
                bare = re.sub(r"`[^`]*`", "", row)
                cells = len(re.findall(r"(?<!\\)\|", bare)) - 1
                delimiter = re.fullmatch(r"\|(\s*:?-+:?\s*\|)+", bare) is not None
                if columns is not None and cells != columns:
                    problems.append(f"{name}:{number}: {cells} columns in a table of {columns}")
                # The second row, and only it, is the row of dashes; a row of
                # dashes run into another row is a table re-wrapped as a paragraph.
                if (rows == 1) != delimiter or (not delimiter and "|---" in bare):
                    problems.append(f"{name}:{number}: a table's rows are not one a line")
                columns = columns if columns is not None else cells
                rows += 1
            else:
                columns = None
                rows = 0
            for target in re.findall(r"\]\(([^)\s]+)\)", line):
                if re.match(r"[a-z]+:", target) or target.startswith("#"):
                    continue
                if not (path.parent / target.split("#")[0]).exists():
                    problems.append(f"{name}:{number}: {target} does not resolve")
    return problems


def main():
    source = pathlib.Path(sys.argv[1])
    checks = {"messages": check_messages, "tables-and-links": check_tables_and_links}
    problems = checks[sys.argv[2]](source)
    for problem in problems:
        print(problem)
    print(f"{sys.argv[2]}: {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
