#!/usr/bin/env python3
"""What the project's pages name in backticks and in their indented command
blocks must exist:
  - repository paths (build outputs, ~/..., $..., absolute and ../ paths are
    exempt); a path may be named from any folder down, e.g. `e2e/screens/`,
    and may hold a glob or a <placeholder>;
  - script names and the options given to them (`bash scripts/x.sh --flag`),
    as the script's own case patterns or comparisons spell the option;
  - test names (`game.RulesTest.X`, `e2e.*`, `RulesTest.X`) and ctest -R
    patterns, against what `ctest -N` lists in the build folder;
  - DUNMARK_* settings, which some file other than a page must mention;
and every test program outside the CTest suites (browser tests, check and
test scripts) has its row in DEVELOPING.md's table of which check runs
where, so that none joins CI's time budget, or is left to be run by hand,
without saying so; and every dm_* library the CMake files define is on the
architecture page.
Fenced blocks (pictures, code) are not read.
  python3 names_exist.py SOURCE_DIR BUILD_DIR   checks the pages of SOURCE_DIR
  python3 names_exist.py --self-test            proves the check can fail
"""
import fnmatch
import glob
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

PAGES = ["README.md", "docs/ARCHITECTURE.md", "docs/DEVELOPING.md"]
SEPARATORS = {"&&", "||", ";", "|", ")", "("}
PATH_CHARS = r"[\w.+*<>{},-]"
PATH_LIKE = re.compile(r"^\.?[\w<>{}*-]" + PATH_CHARS + r"*(/" + PATH_CHARS + r"*)+$")
BARE_FILE = re.compile(r"^[\w.+*-]+\.(sh|py|cpp|c|h|cmake|md|json|in)$")
SUITE_TEST = re.compile(r"^[A-Z]\w*\.([A-Z]\w*|\*)$")
SETTING = re.compile(r"\bDUNMARK_[A-Z0-9_]*[A-Z0-9]\b")
OUTSIDE_SUITES = ["tests/web/smoke_test.py", "tests/web/test_*.py", "scripts/*_check.sh",
                  "scripts/*_test.sh", "scripts/test*.sh", "scripts/fuzz.sh", "scripts/soak.sh"]
PLACES_PAGE = "docs/DEVELOPING.md"
PLACES_HEADING = "## Which check proves what, and where it runs"
FLAG_PARSED = [re.compile(r"(?<![\w-])(--[a-z0-9][a-z0-9-]*)(?:=\*?)?\s*[)|]"),
               re.compile(r"[!=]=\s*[\"']?(--[a-z0-9][a-z0-9-]*)")]


class Tree:
    """The files and folders of the source tree, without build folders."""

    def __init__(self, source, skip=()):
        self.source = source
        self.paths = set()
        self.tails = set()
        self.names = {}
        self.settings = set()
        skip = {os.path.realpath(s) for s in skip}
        for folder, dirs, files in os.walk(source):
            rel_folder = os.path.relpath(folder, source)
            dirs[:] = sorted(d for d in dirs if d != ".git"
                             and not (rel_folder == "." and d.startswith("build"))
                             and os.path.realpath(os.path.join(folder, d)) not in skip)
            for name in dirs + files:
                rel = os.path.normpath(os.path.join(rel_folder, name))
                self.paths.add(rel)
                parts = rel.split("/")
                for i in range(len(parts)):
                    self.tails.add("/".join(parts[i:]))
            for name in files:
                rel = os.path.normpath(os.path.join(rel_folder, name))
                self.names.setdefault(name, []).append(rel)
                if not name.endswith(".md"):
                    self.settings.update(SETTING.findall(read_text(os.path.join(folder, name))))

    def has_path(self, pattern):
        """A path named from the top, or from any folder down."""
        pattern = re.sub(r"<[^>]*>", "*", pattern.rstrip("/"))
        for alternative in expand_braces(pattern):
            if re.search(r"[*?\[]", alternative):
                if any(fnmatch.fnmatchcase(t, alternative) for t in self.tails):
                    return True
            elif alternative in self.tails:
                return True
            elif any(alternative + ext in self.tails for ext in (".h", ".cpp")):
                return True  # a C++ unit named without its extension
        return False

    def script(self, token):
        """The one script a token names, or None."""
        if "/" in token:
            return token if token in self.paths else None
        found = self.names.get(token, [])
        if "scripts/" + token in found:
            return "scripts/" + token
        return found[0] if len(found) == 1 else None


def read_text(path):
    try:
        if os.path.getsize(path) > 1 << 20:
            return ""
        with open(path, encoding="utf-8", errors="ignore") as f:
            return f.read()
    except OSError:
        return ""


def expand_braces(text):
    match = re.search(r"\{([^{}]*,[^{}]*)\}", text)
    if not match:
        return [text]
    out = []
    for choice in match.group(1).split(","):
        out += expand_braces(text[:match.start()] + choice + text[match.end():])
    return out


def parsed_flags(path):
    flags = set()
    for line in read_text(path).splitlines():
        if line.lstrip().startswith("#"):
            continue
        for pattern in FLAG_PARSED:
            flags.update(pattern.findall(line))
    return flags


def exempt_path(token):
    first = token.split("/")[0]
    return (token.startswith(("/", "~", "$", "./", "../", "-")) or "://" in token
            or first.startswith("build") or "=" in first)


def page_items(text):
    """(line number, text, kind) for each inline span and each command line."""
    fenced = False
    in_block = False
    previous_blank = True
    for number, line in enumerate(text.splitlines(), 1):
        if line.lstrip().startswith("```"):
            fenced = not fenced
            previous_blank = False
            continue
        if fenced:
            continue
        blank = not line.strip()
        indented = line.startswith("    ") and not blank
        in_block = indented and (in_block or previous_blank)
        if in_block:
            yield number, re.split(r"\s+#\s", line.strip())[0], "command"
        else:
            for span in re.findall(r"`([^`]+)`", line):
                yield number, span, "span"
        if not in_block or blank:
            previous_blank = blank


def tokens_of(text):
    try:
        return shlex.split(text, comments=False)
    except ValueError:
        return text.split()


class Checker:
    def __init__(self, tree, tests):
        self.tree = tree
        self.tests = tests
        self.prefixes = {t.split(".")[0] for t in tests}
        self.flag_cache = {}
        self.checked = 0

    def problems(self, text, kind):
        out = []
        for name in SETTING.findall(text):
            self.checked += 1
            if name not in self.tree.settings:
                out.append(f"the setting {name} is read nowhere")
        if kind == "span" and not re.search(r"\s", text):
            problem = self.test_name(text)
            if problem is not None:
                self.checked += 1
                if problem:
                    out.append(problem)
                return out
        out += self.command(tokens_of(text))
        return out

    def test_name(self, span):
        """None when the span is no test name; else '' or what is wrong."""
        if "<" in span:
            return None
        if "." in span and span.split(".")[0] in self.prefixes:
            if any(fnmatch.fnmatchcase(t, span) or t.startswith(span + ".") for t in self.tests):
                return ""
            return "no such test in ctest -N"
        if SUITE_TEST.match(span):
            if any(fnmatch.fnmatchcase(t, "*." + span) for t in self.tests):
                return ""
            return "no such test in ctest -N"
        return None

    def command(self, tokens):
        out = []
        script = None
        for i, token in enumerate(tokens):
            if token in SEPARATORS or token.startswith("#"):
                script = None
                continue
            if token.startswith("--") and script and self.flags(script):
                flag = token.split("=")[0]
                self.checked += 1
                if flag not in self.flags(script):
                    out.append(f"{script} takes no option {flag}")
                continue
            if token == "-R" and i + 1 < len(tokens) and "ctest" in tokens[:i]:
                self.checked += 1
                pattern = tokens[i + 1]
                if not any(re.search(pattern, t) for t in self.tests):
                    out.append(f"ctest -R {pattern} matches no test")
                continue
            token = token.rstrip(",.;:)")
            if exempt_path(token):
                continue
            if PATH_LIKE.match(token):
                self.checked += 1
                if not self.tree.has_path(token):
                    out.append(f"no {token} in the repository")
                    continue
            elif BARE_FILE.match(token):
                self.checked += 1
                if not self.tree.has_path(token):
                    out.append(f"no file {token} in the repository")
                    continue
            if token.endswith(".sh"):
                script = self.tree.script(token)
        return out

    def flags(self, script):
        """The options the script parses; a script that parses none passes
        its arguments on (with_xvfb.sh, play.sh), so nothing is checked."""
        if script not in self.flag_cache:
            self.flag_cache[script] = parsed_flags(os.path.join(self.tree.source, script))
        return self.flag_cache[script]


def check(source, tests, skip=()):
    """Prints every name that does not exist; returns how many."""
    checker = Checker(Tree(source, skip), tests)
    bad = 0
    for page in PAGES:
        text = read_text(os.path.join(source, page))
        if not text:
            print(f"{page}: missing or empty")
            bad += 1
            continue
        for number, item, kind in page_items(text):
            for problem in checker.problems(item, kind):
                print(f"{page}:{number}: `{item}`: {problem}")
                bad += 1
    for library in unmapped_libraries(checker.tree):
        print(f"docs/ARCHITECTURE.md: the library {library} is not on the page")
        bad += 1
    for rel in unplaced(source):
        print(f"{PLACES_PAGE}: {rel} has no row under '{PLACES_HEADING}'")
        bad += 1
    if not bad:
        print(f"the pages name {checker.checked} things that exist")
    return bad


def unplaced(source):
    """The test programs outside the suites that the table of places does
    not name (by file name, anywhere in backticks in its section)."""
    text = read_text(os.path.join(source, PLACES_PAGE)) or ""
    section = text.split(PLACES_HEADING + "\n", 1)[1].split("\n## ", 1)[0] if (
        PLACES_HEADING + "\n") in text else ""
    named = {os.path.basename(token) for item in re.findall(r"`([^`]+)`", section)
             for token in item.split()}
    found = sorted({rel for pattern in OUTSIDE_SUITES for rel in glob.glob(pattern, root_dir=source)})
    return [rel for rel in found if os.path.basename(rel) not in named]


LIBRARY = re.compile(r"\b(?:dunmark_library|add_library)\(\s*(dm_\w+)")


def unmapped_libraries(tree):
    """The dm_* libraries CMakeLists.txt and *.cmake files define that the
    architecture page does not name in backticks."""
    page = read_text(os.path.join(tree.source, "docs/ARCHITECTURE.md")) or ""
    named = set(re.findall(r"`(dm_\w+)`", page))
    defined = set()
    for rel in tree.paths:
        if rel.endswith(".cmake") or os.path.basename(rel) == "CMakeLists.txt":
            defined.update(LIBRARY.findall(read_text(os.path.join(tree.source, rel)) or ""))
    return sorted(defined - named)


def listed_tests(build):
    try:
        listing = subprocess.run(["ctest", "-N"], cwd=build, capture_output=True, text=True,
                                 timeout=300, check=False)
    except (OSError, subprocess.TimeoutExpired) as error:
        sys.exit(f"names_exist: ctest -N in {build} failed: {error}")
    tests = re.findall(r"^\s*Test\s+#\d+:\s+(\S+)", listing.stdout, re.M)
    if listing.returncode != 0 or not tests:
        sys.exit(f"names_exist: ctest -N in {build} listed no tests: {listing.stderr.strip()}")
    return tests


SELF_TEST_PAGE = """# A page

Run `bash scripts/play.sh --fast`, read `docs/guide.md` and `guide.md`, see
`game.Suite.Case`, `Suite.Case` and `e2e.*`; set `DUNMARK_SPEED`.
Exempt: `build/bin/x`, `~/.local/x`, `$HOME/x`, `/usr/bin/x`, `../gfx/`.

```
not/read/here.txt
```

    bash scripts/play.sh --fast     # a comment naming not/here
    ctest --test-dir build -R '^game\\.Suite\\.' --output-on-failure
"""


def self_test():
    scratch = tempfile.mkdtemp()
    try:
        def write(path, text):
            os.makedirs(os.path.dirname(os.path.join(scratch, path)), exist_ok=True)
            with open(os.path.join(scratch, path), "w", encoding="utf-8") as f:
                f.write(text)

        for page in PAGES:
            write(page, SELF_TEST_PAGE)
        places = f"\n{PLACES_HEADING}\n\n| `scripts/a_check.sh` | CI |\n"
        write(PLACES_PAGE, SELF_TEST_PAGE + places)
        write("scripts/a_check.sh", "")
        write("docs/guide.md", "a guide\n")
        script = 'case "${1:-}" in\n  --fast) speed=${DUNMARK_SPEED:-1} ;;\nesac\n'
        write("scripts/play.sh", script)
        tests = ["game.Suite.Case", "e2e.test_x"]

        def expect(what, should_pass, listed=tests):
            with open(os.devnull, "w") as quiet:
                saved, sys.stdout = sys.stdout, quiet
                try:
                    bad = check(scratch, listed)
                finally:
                    sys.stdout = saved
            if (bad == 0) != should_pass:
                sys.exit(f"self-test: {what}: {bad} problems found")

        expect("the good tree", True)
        os.rename(os.path.join(scratch, "docs/guide.md"), os.path.join(scratch, "docs/guide2.md"))
        expect("a renamed page", False)
        os.rename(os.path.join(scratch, "docs/guide2.md"), os.path.join(scratch, "docs/guide.md"))
        os.rename(os.path.join(scratch, "scripts/play.sh"), os.path.join(scratch, "scripts/start.sh"))
        expect("a renamed script", False)
        os.rename(os.path.join(scratch, "scripts/start.sh"), os.path.join(scratch, "scripts/play.sh"))
        write("scripts/play.sh", script.replace("--fast", "--quick"))
        expect("an option the script does not take", False)
        write("scripts/play.sh", script.replace("DUNMARK_SPEED", "DUNMARK_PACE"))
        expect("a setting nothing reads", False)
        write("scripts/play.sh", script)
        expect("a test ctest does not list", False, ["game.Suite.Other", "e2e.test_x"])
        write("tests/web/test_new.py", "")
        expect("a browser test with no place in the table", False)
        write("CMakeLists.txt", "dunmark_library(dm_new SOURCES x.cpp)\n")
        expect("a library the architecture page leaves out", False)
        write("CMakeLists.txt", "")
        write(PLACES_PAGE, SELF_TEST_PAGE + places + "| `tests/web/test_new.py` | by hand |\n")
        expect("the good tree again", True)
    finally:
        shutil.rmtree(scratch)
    print("self-test: passed")


def main(argv):
    if argv[1:] == ["--self-test"]:
        self_test()
        return 0
    if len(argv) != 3:
        print("usage: names_exist.py SOURCE_DIR BUILD_DIR | --self-test", file=sys.stderr)
        return 1
    source, build = argv[1], argv[2]
    if not os.path.isdir(source) or not os.path.isdir(build):
        print(f"names_exist: {source} or {build} is not a folder", file=sys.stderr)
        return 1
    return 1 if check(source, listed_tests(build), skip=[build]) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
