#!/usr/bin/env python3
"""Small source mutants of the core libraries, and the run that judges them.

    mutants.py list   SOURCE_ROOT SEED PER_LIBRARY LIBRARY...
    mutants.py run    SOURCE_ROOT BASE_BUILD WORK SAMPLE_FILE [LIBRARY...]

A mutant is named by file, the exact text of its line, the column of the
match and the operator, never by line number alone, so a sample written on
one revision can be replayed on the next one: a mutant whose line is gone is
reported as such instead of silently hitting something else.
"""
import os
import random
import re
import shutil
import subprocess
import sys
import time

COMPARISONS = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
COMPARISON = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)")
LOGICAL = re.compile(r"(?<=\s)(&&|\|\|)(?=\s)")
INTEGER = re.compile(r"(?<![\w.'])(\d+)(?![\w.'])")
DECLARATION = re.compile(r"^(const\s+|static\s+|constexpr\s+)*[A-Za-z_][\w:<>,*&\s]*[\s*&]+[A-Za-z_]\w*\s*(=|\(|\{|;|\[)")
NOT_STATEMENTS = ("return", "using", "typedef", "case", "default", "break", "continue",
                  "goto", "template", "namespace", "class", "struct", "enum", "static_assert")


def code_part(line):
    """The line without its comment, with string and character literals
    blanked, so that operators inside texts are never mutated."""
    out = []
    quote = None
    i = 0
    while i < len(line):
        ch = line[i]
        if quote:
            if ch == "\\":
                out.append("  ")
                i += 2
                continue
            if ch == quote:
                quote = None
                out.append(ch)
            else:
                out.append(" ")
        elif ch in "\"'":
            # A digit separator (1'000) is not a character literal.
            if ch == "'" and i > 0 and line[i - 1].isalnum():
                out.append(ch)
            else:
                quote = ch
                out.append(ch)
        elif line.startswith("//", i):
            break
        else:
            out.append(ch)
        i += 1
    return "".join(out)


def candidates_in_file(root, path):
    with open(os.path.join(root, path), encoding="utf-8") as source:
        lines = source.read().split("\n")
    found = []
    previous = ";"
    in_block_comment = False
    for number, line in enumerate(lines, start=1):
        stripped = line.strip()
        if in_block_comment:
            if "*/" in stripped:
                in_block_comment = False
            continue
        if stripped.startswith("/*"):
            in_block_comment = "*/" not in stripped
            continue
        if not stripped or stripped.startswith("#") or stripped.startswith("//"):
            continue
        code = code_part(line)
        for match in COMPARISON.finditer(code):
            found.append((path, number, line, match.start(), "compare", match.group(1),
                          COMPARISONS[match.group(1)]))
        for match in LOGICAL.finditer(code):
            swapped = "||" if match.group(1) == "&&" else "&&"
            found.append((path, number, line, match.start(), "logic", match.group(1), swapped))
        for match in INTEGER.finditer(code):
            value = int(match.group(1))
            for change in (1, -1):
                if value + change >= 0:
                    found.append((path, number, line, match.start(), "constant", match.group(1),
                                  str(value + change)))
        code_stripped = code.strip()
        starts_statement = previous.endswith((";", "{", "}", ")", ":"))
        if (starts_statement and code_stripped.endswith(";") and re.match(r"[A-Za-z_*(]", code_stripped)
                and re.match(r"[\w*(]+", code_stripped).group(0) not in NOT_STATEMENTS
                and not DECLARATION.match(code_stripped)
                and re.search(r"\(|[^=!<>]=[^=]|\+\+|--", code_stripped)):
            indent = len(line) - len(line.lstrip())
            found.append((path, number, line, indent, "remove", line[indent:], "(void)0;"))
        if code_stripped:
            previous = code_stripped
    return found


def library_sources(root, library):
    """The .cpp files of the library target itself (its add_library), not
    the tools built beside it, which the library's tests never run."""
    folder = os.path.join("src", library)
    with open(os.path.join(root, folder, "CMakeLists.txt"), encoding="utf-8") as cmake:
        listing = re.search(r"add_library\(quillory_\w+ STATIC(.*?)\)", cmake.read(), re.S).group(1)
    return sorted(os.path.join(folder, name) for name in listing.split() if name.endswith(".cpp")
                  and "$" not in name)


def list_mutants(root, libraries, seed, per_library):
    sample = []
    for library in libraries:
        pool = []
        for path in library_sources(root, library):
            pool.extend(candidates_in_file(root, path))
        chooser = random.Random(f"{seed}:{library}")
        chosen = chooser.sample(pool, min(per_library, len(pool)))
        chosen.sort(key=lambda m: (m[0], m[1], m[3], m[4], m[6]))
        sample.extend((library,) + m for m in chosen)
    return sample


def write_sample(sample, stream):
    for library, path, number, line, column, operator, before, after in sample:
        fields = [library, path, str(number), str(column), operator, before, after, line]
        stream.write("\t".join(f.replace("\t", "\\t") for f in fields) + "\n")


def read_sample(path):
    sample = []
    with open(path, encoding="utf-8") as stream:
        for row in stream:
            fields = [f.replace("\\t", "\t") for f in row.rstrip("\n").split("\t")]
            library, source, number, column, operator, before, after, line = fields
            sample.append((library, source, int(number), line, int(column), operator, before, after))
    return sample


def mutate(text_lines, number, line, column, before, after):
    """Applies one mutant; returns the new lines or None when its line is gone.
    The line is looked for by its text, nearest to where it was."""
    places = [i for i, l in enumerate(text_lines) if l == line]
    if not places:
        return None
    index = min(places, key=lambda i: abs(i + 1 - number))
    target = text_lines[index]
    if target[column:column + len(before)] != before:
        return None
    changed = list(text_lines)
    changed[index] = target[:column] + after + target[column + len(before):]
    return changed


def test_targets(root, library):
    with open(os.path.join(root, "tests", library, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.findall(r"quillory_add_test\((\w+)", cmake.read())


def run(root, base, work, sample_path, libraries):
    sample = read_sample(sample_path)
    if libraries:
        sample = [m for m in sample if m[0] in libraries]
    results = []
    total = len(sample)
    inside = {path for library in {m[0] for m in sample} for path in library_sources(root, library)}
    for index, (library, path, number, line, column, operator, before, after) in enumerate(sample, 1):
        source = os.path.join(root, path)
        with open(source, encoding="utf-8") as f:
            original = f.read()
        stat = os.stat(source)
        mutated = mutate(original.split("\n"), number, line, column, before, after)
        started = time.time()
        if path not in inside:
            outcome = "outside"
        elif mutated is None:
            outcome = "gone"
        else:
            build = os.path.join(work, "mutant")
            shutil.rmtree(build, ignore_errors=True)
            shutil.copytree(base, build, symlinks=True)
            try:
                with open(source, "w", encoding="utf-8") as f:
                    f.write("\n".join(mutated))
                outcome = judge(build, test_targets(root, library))
            finally:
                with open(source, "w", encoding="utf-8") as f:
                    f.write(original)
                os.utime(source, ns=(stat.st_atime_ns, stat.st_mtime_ns))
                shutil.rmtree(build, ignore_errors=True)
        results.append((library, path, number, operator, before, after, line.strip(), outcome))
        print(f"[{index}/{total}] {outcome:11} {path}:{number} {operator} {before} -> {after}"
              f" ({time.time() - started:.0f} s)", flush=True)
    return results


def judge(build, targets):
    step_limit = int(os.environ.get("QUILLORY_MUTANT_BUILD_SECONDS", "600"))
    test_limit = int(os.environ.get("QUILLORY_MUTANT_TEST_SECONDS", "60"))
    jobs = os.environ.get("QUILLORY_MUTANT_JOBS", "2")
    try:
        built = subprocess.run(["ninja", "-C", build, "-j", jobs] + targets, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=step_limit)
    except subprocess.TimeoutExpired:
        return "unbuildable"
    if built.returncode != 0:
        return "unbuildable"
    for target in targets:
        executable = find_executable(build, target)
        try:
            ran = subprocess.run([executable], cwd=os.path.dirname(executable), stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL, timeout=test_limit)
        except subprocess.TimeoutExpired:
            return "killed"
        if ran.returncode != 0:
            return "killed"
    return "survived"


def find_executable(build, target):
    for folder, _, files in os.walk(os.path.join(build, "tests")):
        if target in files:
            return os.path.join(folder, target)
    raise FileNotFoundError(target)


def report(results, stream):
    libraries = sorted({r[0] for r in results})
    stream.write("\n| library | mutants | killed | survived | unbuildable | gone | outside | kill rate |\n")
    stream.write("|---|---|---|---|---|---|---|---|\n")
    for library in libraries:
        rows = [r for r in results if r[0] == library]
        count = {o: sum(1 for r in rows if r[7] == o)
                 for o in ("killed", "survived", "unbuildable", "gone", "outside")}
        judged = count["killed"] + count["survived"]
        rate = f"{100.0 * count['killed'] / judged:.1f} %" if judged else "-"
        stream.write(f"| {library} | {len(rows)} | {count['killed']} | {count['survived']} |"
                     f" {count['unbuildable']} | {count['gone']} | {count['outside']} | {rate} |\n")
    survivors = [r for r in results if r[7] == "survived"]
    stream.write(f"\nSurviving mutants ({len(survivors)}):\n")
    for library, path, number, operator, before, after, line, _ in survivors:
        stream.write(f"  {path}:{number} [{operator}] {before} -> {after}   {line}\n")


def main(argv):
    command = argv[1]
    if command == "list":
        root, seed, per_library = argv[2], int(argv[3]), int(argv[4])
        write_sample(list_mutants(root, argv[5:], seed, per_library), sys.stdout)
    elif command == "run":
        root, base, work, sample_path = argv[2:6]
        results = run(root, base, work, sample_path, argv[6:])
        with open(os.path.join(work, "results.tsv"), "w", encoding="utf-8") as out:
            for r in results:
                out.write("\t".join(str(f) for f in r) + "\n")
        report(results, sys.stdout)
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(sys.argv)
