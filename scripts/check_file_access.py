#!/usr/bin/env python3
"""Fails when program code outside platform/ touches files itself.

There is one way to touch files: the file-system seam in platform/ (platform/filesystem.h), which
carries paths as bytes. Qt's file classes, std::filesystem and the C library's file calls take or
give paths as text encoded as UTF-8, which is another folder's name when the real name is not
UTF-8; outside platform/ they are a fault. Run by ctest; prints every offending line.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# The folders of the program's own code.
PROGRAM_FOLDERS = ["app", "menu", "catalogue", "registration", "folders", "installer",
                   "shortcuts"]

FORBIDDEN = [
    re.compile(r"\bQ(File|Dir|FileInfo|DirIterator|SaveFile|TemporaryFile|TemporaryDir|"
               r"LockFile|FileSystemWatcher|StorageInfo)\b"),
    re.compile(r"\bstd::filesystem\b|#\s*include\s*<filesystem>"),
    re.compile(r"#\s*include\s*<(dirent|fcntl|unistd|sys/stat|sys/types|stdio)\.h>|"
               r"#\s*include\s*<c?stdio>"),
    # C library calls, called as ::name( or as a bare name( (a member call such as
    # list.remove( or file.open( is no file access).
    re.compile(r"(?<![\w.>:])(::\s*)?\b(open|openat|creat|stat|lstat|fstatat|statx|access|"
               r"faccessat|opendir|fdopendir|readdir|scandir|unlink|unlinkat|rename|renameat2?|"
               r"mkdir|mkdirat|rmdir|chmod|fchmodat|chown|symlink|symlinkat|readlink|realpath|"
               r"link|linkat|truncate|fopen|mkstemp|mkostemp|mkdtemp|utimensat)\s*\("),
    re.compile(r"(?<![\w])::\s*remove\s*\(|\bstd::remove\s*\(\s*\""),
]

# Justified for good.
EXCEPTIONS = {
    # A separate program that shares no code with qmorn (it must run when qmorn's libraries are
    # gone) and only deletes the settings file, whose name is plain text: it links Qt only.
    "remover/": "separate program sharing no code",
}
# Qt resources (":/...") are compiled into the program and are no files on disk.
RESOURCE_LINE = re.compile(r"\"\s*:/")

# TEMPORARY: files whose owners are still moving them onto the seam. Each owner removes the
# entries of a file once it touches files only through platform/. Do not add to this list.
TEMPORARY: dict[str, str] = {}


def allowed(relative):
    for prefix in list(EXCEPTIONS) + list(TEMPORARY):
        if relative == prefix or (prefix.endswith("/") and relative.startswith(prefix)):
            return True
    return False


def strip_comment(line):
    return line.split("//", 1)[0]


def main():
    faults = []
    for folder in PROGRAM_FOLDERS + list(k.rstrip("/") for k in EXCEPTIONS):
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            relative = path.relative_to(ROOT).as_posix()
            if allowed(relative):
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                code = strip_comment(line)
                if RESOURCE_LINE.search(code):
                    continue
                if any(pattern.search(code) for pattern in FORBIDDEN):
                    faults.append(f"{relative}:{number}: {line.strip()}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} file access(es) outside platform/: use platform/filesystem.h")
        return 1
    print("no file access outside platform/")
    return 0


if __name__ == "__main__":
    sys.exit(main())
