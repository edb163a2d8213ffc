#!/usr/bin/env python3
"""check-packages.py [SCRIPT...]

Every external command that our shell scripts call must come from a package
that scripts/setup.sh installs, or from Debian's required set (what a minimal
Debian has before anything is installed). A command that some other package
happens to bring along on this machine works here and fails on a fresh one.

The scripts are read with a small shell tokenizer: it finds the words in
command position (also inside $(...), inside "..." and inside the code given
to `bash -c '...'` and in here-documents), steps over the wrappers that run
another command (exec, timeout, flock, xargs, runuser, ...), and leaves out
builtins, the scripts' own functions, and anything named through a variable
or by a path of the project's own. Each command is looked up in the system's
own folders (never a user's tool folder ahead of them on PATH) and, through
every link of its path, in dpkg's file lists.

A package that a listed package depends on directly counts as installed by
setup.sh: installing the one installs the other.

Without arguments it reads scripts/*.sh, cmake/*.sh and .ci/run; with --list
it also prints every command it found and the packages that own it. It prints one
line per command that fails the rule, naming the command and the package that
provides it here, and exits 1; else it prints a summary and exits 0.
"""
import glob
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SETUP = os.path.join(ROOT, "scripts", "setup.sh")
SYSTEM_DIRS = ["/usr/sbin", "/usr/bin", "/sbin", "/bin"]

KEYWORDS = {"if", "then", "else", "elif", "fi", "do", "done", "while", "until", "for",
            "in", "case", "esac", "function", "select", "time", "!", "{", "}", "[[", "]]"}
# Words after which the next word is a command again.
COMMAND_STARTERS = {"then", "else", "elif", "do", "if", "while", "until", "!", "{", "time"}
# Wrappers: how many option words take an argument, and whether a fixed
# positional argument precedes the command.
WRAPPERS = {
    "exec": ((), 0),
    "command": ((), 0),
    "nohup": ((), 0),
    "setsid": ((), 0),
    "nice": (("-n",), 0),
    "env": (("-u", "-C", "-S"), 0),
    "timeout": (("-s", "-k", "--signal", "--kill-after"), 1),
    "flock": (("-w", "--timeout", "-E", "--conflict-exit-code"), 1),
    "xargs": (("-n", "-P", "-I", "-d", "-L", "-s", "-E", "-a"), 0),
    "runuser": (("-u", "-g", "-G", "--user", "--group"), 0),
    "sudo": (("-u", "-g"), 0),
    "chroot": ((), 1),
    "xvfb-run": (("-s", "-n", "-f", "-e", "-p", "--server-args", "--server-num"), 0),
    "unshare": ((), 0),
}
OPERATORS = ["&&", "||", ";;", "|&", "$(", ";", "|", "&", "(", ")", "\n"]


class Tokens:
    """Words and operators of one piece of shell text, with nested code
    (command substitutions, `bash -c` strings, here-documents) read as well."""

    def __init__(self):
        self.pieces = []  # lists of tokens, one per piece of code

    def code(self, text):
        tokens = []
        self.pieces.append(tokens)
        i, n = 0, len(text)
        word = None
        heredocs = []

        def end_word():
            nonlocal word
            if word is not None:
                tokens.append(("w", word))
                word = None

        while i < n:
            c = text[i]
            if c == "\\" and i + 1 < n:
                # A backslash before the line's end continues the line.
                if text[i + 1] == "\n":
                    end_word()
                else:
                    word = (word or "") + text[i + 1]
                i += 2
                continue
            if c == "#" and word is None:
                while i < n and text[i] != "\n":
                    i += 1
                continue
            if c in " \t":
                end_word()
                i += 1
                continue
            if c == "\n":
                end_word()
                tokens.append(("o", "\n"))
                i += 1
                # Here-document bodies follow the line that opened them.
                for tag, is_code in heredocs:
                    j = i
                    body = []
                    while j < n:
                        k = text.find("\n", j)
                        k = n if k < 0 else k
                        line = text[j:k]
                        j = k + 1
                        if line.strip() == tag:
                            break
                        body.append(line)
                    if is_code:
                        self.code("\n".join(body))
                    i = j
                heredocs = []
                continue
            if c == "'":
                k = text.find("'", i + 1)
                k = n if k < 0 else k
                inner = text[i + 1 : k]
                if (len(tokens) > 1 and tokens[-1] == ("w", "-c") and word is None
                        and tokens[-2][1] in ("bash", "sh")):
                    self.code(inner)
                word = (word or "") + "'" + inner + "'"
                i = k + 1
                continue
            if c == '"':
                i = self._double(text, i + 1)
                word = (word or "") + '"…"'
                continue
            if c == "`":
                k = text.find("`", i + 1)
                k = n if k < 0 else k
                self.code(text[i + 1 : k])
                word = (word or "") + "$"
                i = k + 1
                continue
            if c == "$" and text.startswith("$((", i):
                i = self._skip_balanced(text, i + 1, "(", ")")
                word = (word or "") + "$"
                continue
            if c == "$" and text.startswith("$(", i):
                end = self._skip_balanced(text, i + 1, "(", ")")
                self.code(text[i + 2 : end - 1])
                word = (word or "") + "$"
                i = end
                continue
            if c == "$" and text.startswith("${", i):
                i = self._skip_balanced(text, i + 1, "{", "}")
                word = (word or "") + "$"
                continue
            if text.startswith("((", i) and word is None:
                # Arithmetic, as in for (( ... )) or (( n++ )).
                i = self._skip_balanced(text, i, "(", ")")
                continue
            if text.startswith("<<<", i):
                end_word()
                i += 3
                continue
            if text.startswith("<<", i):
                end_word()
                m = re.match(r"<<-?\s*(['\"]?)(\w+)\1", text[i:])
                if m:
                    heredocs.append((m.group(2), True))
                    i += m.end()
                    continue
            if c in "<>":
                # A file descriptor's number before a redirection is no word.
                if word is not None and word.isdigit():
                    word = None
                end_word()
                i += 1
                while i < n and text[i] in "<>&=|":
                    i += 1
                # The redirection's target is a file, not a command.
                tokens.append(("r", c))
                continue
            op = next((o for o in OPERATORS if text.startswith(o, i) and o != "$("), None)
            if op and not (op in "()" and word is not None and word.endswith("=")):
                # name=( ... ) is an array: its words are data.
                end_word()
                tokens.append(("o", op))
                i += len(op)
                continue
            if op == "(":
                i = self._skip_balanced(text, i, "(", ")")
                word += "(…)"
                continue
            word = (word or "") + c
            i += 1
        end_word()

    def _double(self, text, i):
        n = len(text)
        while i < n and text[i] != '"':
            if text[i] == "\\":
                i += 2
                continue
            if text.startswith("$((", i):
                i = self._skip_balanced(text, i + 1, "(", ")")
                continue
            if text.startswith("$(", i):
                end = self._skip_balanced(text, i + 1, "(", ")")
                self.code(text[i + 2 : end - 1])
                i = end
                continue
            if text[i] == "`":
                k = text.find("`", i + 1)
                self.code(text[i + 1 : k])
                i = k + 1
                continue
            i += 1
        return i + 1

    @staticmethod
    def _skip_balanced(text, i, opening, closing):
        """From text[i] == opening to just after its closing partner, stepping
        over quoted text."""
        depth = 0
        n = len(text)
        while i < n:
            c = text[i]
            if c == "\\":
                i += 2
                continue
            if c == "'":
                i = text.find("'", i + 1) + 1 or n
                continue
            if c == '"':
                i = Tokens._skip_double(text, i + 1)
                continue
            if c == opening:
                depth += 1
            elif c == closing:
                depth -= 1
                if depth == 0:
                    return i + 1
            i += 1
        return n

    @staticmethod
    def _skip_double(text, i):
        n = len(text)
        while i < n and text[i] != '"':
            if text[i] == "\\":
                i += 1
            elif text.startswith("$(", i):
                i = Tokens._skip_balanced(text, i + 1, "(", ")") - 1
            i += 1
        return i + 1


def commands_of(tokens):
    """The literal command words of one piece of code."""
    found = []
    at_command = True
    in_case = False  # between "in"/";;" and ")" of a case statement
    case_open = 0
    skip_for = False
    pending_wrapper = None  # (options with an argument, positional words left)
    skip_next = False
    i = 0
    while i < len(tokens):
        kind, value = tokens[i]
        i += 1
        if kind == "r":
            # A redirection's target follows.
            if i < len(tokens) and tokens[i][0] == "w":
                i += 1
            continue
        if kind == "o":
            if value == ";;":
                in_case = case_open > 0
            elif value == ")" and in_case:
                in_case = False
            elif value == "\n" and skip_for:
                skip_for = False
            if value == ";" and skip_for:
                skip_for = False
            at_command = value != ")"
            pending_wrapper = None
            continue
        if in_case:
            continue
        if skip_for:
            continue
        if value == "case":
            case_open += 1
            at_command = False
            continue
        if value == "in" and case_open and not skip_for:
            in_case = True
            continue
        if value == "esac":
            case_open -= 1
            at_command = False
            continue
        if value in ("for", "select"):
            skip_for = True
            continue
        if skip_next:
            skip_next = False
            continue
        if pending_wrapper is not None:
            with_arg, positional = pending_wrapper
            if value.startswith("-") or "=" in value and re.match(r"^\w+=", value):
                if value in with_arg:
                    skip_next = True
                continue
            if positional > 0:
                pending_wrapper = (with_arg, positional - 1)
                continue
            pending_wrapper = None
            at_command = True
            if value == "--":
                continue
        if value == "--" and at_command:
            continue
        if not at_command:
            continue
        if re.match(r"^[A-Za-z_]\w*(\[[^\]]*\])?\+?=", value):
            continue  # an assignment before the command
        if value in KEYWORDS:
            at_command = value in COMMAND_STARTERS
            continue
        at_command = False
        if value in WRAPPERS:
            pending_wrapper = WRAPPERS[value]
        found.append(value)
    return found


def script_functions(text):
    return set(re.findall(r"^\s*(?:function\s+)?([\w.:-]+)\s*\(\)", text, re.M))


def builtins():
    out = subprocess.run(["bash", "-c", "compgen -b; compgen -k"], capture_output=True,
                         text=True, check=True).stdout
    return set(out.split())


def listed_packages():
    """setup.sh's need_pkgs: one package a line, the commands it gives after '#'."""
    with open(SETUP, encoding="utf-8") as f:
        text = f.read()
    m = re.search(r"^need_pkgs=\((.*?)^\)", text, re.M | re.S)
    if not m:
        sys.exit("check-packages: no need_pkgs=( ... ) list in scripts/setup.sh")
    packages = []
    for line in m.group(1).splitlines():
        line = line.split("#", 1)[0]
        packages += line.split()
    return set(packages)


def owners(path):
    """Packages that own path, through every link of it."""
    seen, result = set(), []
    while path and path not in seen:
        seen.add(path)
        for candidate in {path, re.sub(r"^/usr(/s?bin/)", r"\1", path),
                          re.sub(r"^/(s?bin/)", r"/usr/\1", path)}:
            out = subprocess.run(["dpkg-query", "-S", candidate], capture_output=True,
                                 text=True).stdout
            for line in out.splitlines():
                pkgs, _, owned = line.rpartition(": ")
                if owned.strip() == candidate:
                    result += [p.strip().split(":")[0] for p in pkgs.split(",")]
        if not os.path.islink(path):
            break
        target = os.readlink(path)
        path = os.path.normpath(os.path.join(os.path.dirname(path), target))
    return result


def dependencies(packages):
    """The packages that those packages depend on directly: installing one of
    them installs these too."""
    result = set()
    for package in packages:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Depends}, ${Pre-Depends}", package],
                             capture_output=True, text=True).stdout
        for alternative in re.split(r"[,|]", out):
            name = re.sub(r"\(.*?\)|:any", "", alternative).strip()
            if name:
                result.add(name)
    return result


def in_required_set(package, cache={}):
    if package not in cache:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Priority} ${Essential}", package],
                             capture_output=True, text=True).stdout.split()
        cache[package] = bool(out) and (out[0] == "required" or "yes" in out[1:])
    return cache[package]


def main(argv):
    show = "--list" in argv
    argv = [a for a in argv if a != "--list"]
    scripts = argv or sorted(glob.glob(os.path.join(ROOT, "scripts", "*.sh")) +
                             glob.glob(os.path.join(ROOT, "cmake", "*.sh")) +
                             [os.path.join(ROOT, ".ci", "run")])
    known = builtins()
    texts = {}
    for path in scripts:
        with open(path, encoding="utf-8") as f:
            texts[path] = f.read()
    functions = set().union(*(script_functions(t) for t in texts.values()))
    used = {}
    for path, text in texts.items():
        tokens = Tokens()
        tokens.code(text)
        for piece in tokens.pieces:
            for word in commands_of(piece):
                if word in known or word in functions or "$" in word or '"' in word \
                        or "'" in word or "(" in word:
                    continue
                if "/" in word and not word.startswith("/"):
                    continue  # a program of the project's own
                used.setdefault(word, set()).add(os.path.relpath(path, ROOT))
    listed = listed_packages()
    brought = dependencies(listed)
    failures = []
    for command in sorted(used):
        where = ", ".join(sorted(used[command]))
        if command.startswith("/"):
            paths = [command] if os.path.exists(command) else []
        else:
            paths = [os.path.join(d, command) for d in SYSTEM_DIRS
                     if os.path.exists(os.path.join(d, command))]
        if not paths:
            failures.append(f"{command} ({where}): not in the system's folders; "
                            "no installed package provides it")
            continue
        pkgs = owners(paths[0])
        if not pkgs:
            failures.append(f"{command} ({where}): {paths[0]} belongs to no package")
            continue
        if show:
            print(f"{command}: {' '.join(pkgs)}  ({where})")
        if any(p in listed or p in brought or in_required_set(p) for p in pkgs):
            continue
        failures.append(f"{command} ({where}): provided by package {pkgs[0]}, "
                        "which scripts/setup.sh does not install and Debian's required "
                        "set does not hold")
    for line in failures:
        print("check-packages: " + line, file=sys.stderr)
    if failures:
        return 1
    print(f"check-packages: {len(used)} commands in {len(scripts)} scripts, each from "
          "a package setup.sh installs or from Debian's required set")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
