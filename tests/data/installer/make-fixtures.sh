#!/usr/bin/env bash
# Rebuilds the archive fixtures of the installer tests (needs lha from jlha-utils, bsdtar from
# libarchive-tools, gcab, gzip, bzip2, xz and zstd). RAR cannot be written with free tools.
# LZH variants the lha tool cannot make (UTF-8 names, hostile names, links) are built by the
# tests themselves.
set -euo pipefail
export LC_ALL=C.UTF-8
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# lha adds to an existing archive and keeps a .bak of it: start afresh.
rm -f "$here"/*.lzh "$here"/*.zip "$here"/*.bak "$here"/*.7z "$here"/*.cab "$here"/*.tar*

# The sample program: a readme and a compressible data file in a sub-folder.
mkdir -p "$work/tool/bin"
printf 'Sample tool\r\n' > "$work/tool/readme.txt"
seq 1 1500 > "$work/tool/bin/data.txt"
touch -d '2020-05-01 12:00:00' "$work/tool/readme.txt" "$work/tool/bin/data.txt"

cd "$work/tool"
lha az "$here/lh0.lzh" readme.txt bin/data.txt > /dev/null
lha a "$here/lh5.lzh" readme.txt bin/data.txt > /dev/null
lha ao6 "$here/lh6.lzh" readme.txt bin/data.txt > /dev/null
lha ao7 "$here/lh7.lzh" readme.txt bin/data.txt > /dev/null
for level in 0 1 2; do
    lha a$level "$here/level$level.lzh" readme.txt bin/data.txt > /dev/null
done
bsdtar --format zip --options zip:compression=store -cf "$here/stored.zip" readme.txt bin
bsdtar --format zip --options zip:compression=deflate -cf "$here/deflate.zip" readme.txt bin
# The other formats; some keep everything in one top-level folder, as many downloads do.
bsdtar --format ustar -cf "$here/plain.tar" readme.txt bin
bsdtar --format ustar -czf "$here/gzip.tar.gz" readme.txt bin
bsdtar --format gnutar -cjf "$here/bzip2.tbz2" readme.txt bin
bsdtar --format pax --zstd -cf "$here/zstd.tar.zst" readme.txt bin
gcab -c "$here/plain.cab" readme.txt bin/data.txt
(cd "$work" && bsdtar --format 7zip -cf "$here/nested.7z" tool)
(cd "$work" && bsdtar --format pax -cJf "$here/nested.tar.xz" tool)
(cd "$work" && bsdtar --format zip -cf "$here/nested.zip" tool)

# A program that brings its own setup program (a stand-in: two bytes of an executable).
mkdir -p "$work/setup"
printf 'MZ' > "$work/setup/Setup.exe"
printf 'readme\r\n' > "$work/setup/readme.txt"
(cd "$work/setup" && bsdtar --format zip -cf "$here/setup.zip" Setup.exe readme.txt)

# Japanese names: "ソ" holds the byte 0x5C in CP932, the classic trap for separators.
mkdir -p "$work/jp/ソフト/サブ"
printf 'a\r\n' > "$work/jp/ソフト/説明書.txt"
printf 'b\r\n' > "$work/jp/ソフト/サブ/表①.txt"
cd "$work/jp"
lha ay "$here/cp932-names.lzh" ソフト/説明書.txt ソフト/サブ/表①.txt > /dev/null
lha ay0 "$here/cp932-level0.lzh" ソフト/説明書.txt ソフト/サブ/表①.txt > /dev/null
bsdtar --format zip --options zip:hdrcharset=CP932 -cf "$here/cp932-names.zip" ソフト
bsdtar --format zip -cf "$here/utf8-names.zip" ソフト
# Half-width katakana: "ﾃｽ" is C3 BD in CP932, which is also the UTF-8 of "ý".
mkdir -p "$work/kana"
printf 'k\r\n' > "$work/kana/ﾃｽ.txt"
printf 'y\r\n' > "$work/kana/readme.txt"
(cd "$work/kana" && bsdtar --format zip --options zip:hdrcharset=CP932 -cf "$here/kana-cp932.zip" ﾃｽ.txt readme.txt)
mv "$work/kana/ﾃｽ.txt" "$work/kana/ý.txt"
(cd "$work/kana" && bsdtar --format zip -cf "$here/latin-utf8.zip" ý.txt readme.txt)

# Hostile archives.
mkdir -p "$work/evil/d"
cd "$work/evil"
printf 'evil\n' > evil.txt
bsdtar -P --format zip -s ',^,../,' -cf "$here/dotdot.zip" evil.txt
bsdtar -P --format zip -s ',^,/tmp/qmorn-fixture-,' -cf "$here/absolute.zip" evil.txt
ln -s /etc/passwd out
bsdtar --format zip -cf "$here/symlink-out.zip" evil.txt out
rm out
# Each link looks harmless on its own; together "m" leads to the parent of the destination.
ln -s .. d/l
ln -s d/l/.. m
bsdtar -n --format zip -cf "$here/symlink-chain.zip" d d/l m
rm m d/l
for format in 7zip ustar; do
    ext=$([ $format = 7zip ] && echo 7z || echo tar)
    bsdtar -P --format $format -s ',^,../,' -cf "$here/dotdot.$ext" evil.txt
    bsdtar -P --format $format -s ',^,/tmp/qmorn-fixture-,' -cf "$here/absolute.$ext" evil.txt
    ln -s /etc/passwd out
    bsdtar --format $format -cf "$here/symlink-out.$ext" evil.txt out
    rm out
done
# CAB holds no links; gcab drops ".." and leading separators, so the names are patched.
mkdir -p zz
cp evil.txt zz/evil.txt
gcab -c "$here/dotdot.cab" zz/evil.txt
gcab -c "$here/absolute.cab" zz/evil.txt
rm -r zz
python3 - "$here/dotdot.cab" "$here/absolute.cab" <<'PY'
import sys
for path, name in ((sys.argv[1], b"..\\evil.txt"), (sys.argv[2], b"\\z\\evil.txt")):
    data = open(path, "rb").read()
    open(path, "wb").write(data.replace(b"zz\\evil.txt", name))
PY
# A link that stays inside is fine.
ln -s evil.txt inside
bsdtar --format zip -cf "$here/symlink-inside.zip" evil.txt inside

# Damaged archives: cut short, and with a changed data byte (checksum mismatch).
head -c 600 "$here/deflate.zip" > "$here/truncated.zip"
head -c 700 "$here/lh5.lzh" > "$here/truncated.lzh"
cp "$here/stored.zip" "$here/corrupt.zip"
cp "$here/lh0.lzh" "$here/corrupt.lzh"
python3 - "$here/corrupt.zip" "$here/corrupt.lzh" <<'PY'
import sys
for path, marker in ((sys.argv[1], b"Sample tool"), (sys.argv[2], b"Sample tool")):
    data = bytearray(open(path, "rb").read())
    at = data.index(marker)
    data[at] ^= 0x20
    open(path, "wb").write(bytes(data))
PY
