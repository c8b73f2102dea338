#!/usr/bin/env bash
# Takes the README's screenshots of the main menu and the catalogue (in Japanese and in English) under Xvfb, with a demo
# working folder in a temporary home. Usage: scripts/screenshots.sh [BUILD_DIR]
# Needs xvfb, xdotool, imagemagick and fonts-ipaexfont-gothic.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
root=/tmp/qm-demo
rm -rf "$root" && mkdir -p "$root"
trap 'rm -rf "$root"' EXIT
export HOME=$root/home XDG_CONFIG_HOME=$root/home/.config XDG_DATA_HOME=$root/home/.local/share
export XDG_RUNTIME_DIR=$root/run LC_ALL=C.UTF-8
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
work=$root/Programs
list=$XDG_DATA_HOME/quillmorn/Programs
mkdir -p "$list"
for d in TextEditor ImageViewer Archiver ClockTool OldGame; do
    mkdir -p "$work/$d"
    cp fuzz/corpus/fuzz_peicon/tiny.exe "$work/$d/$d.exe"
done
printf 'テキストエディタ TextEditor\r\n\r\n軽量で高速なテキストエディタです。\r\nインストール不要、フォルダごとコピーするだけで使えます。\r\n' \
    > "$work/TextEditor/readme.txt"
printf 'version 1.2\r\n' > "$work/TextEditor/history.txt"
printf '%s\r\n' "$work" > "$list/settings.dat"
{
    printf '1,テキストエディタ,TextEditor,エディタ,%s,軽量テキストエディタ\r\n' "$work/TextEditor/TextEditor.exe"
    printf '1,画像ビューア,ImageViewer,画像,%s,画像を表示します\r\n' "$work/ImageViewer/ImageViewer.exe"
    printf '0,OldGame,OldGame,未設定,不明,未設定\r\n'
} > "$list/index.qmx"

shoot() {  # shoot CAPTION OUTPUT ARGS...
    local caption=$1 output=$2
    shift 2
    "$build/qmorn" "$@" &
    local pid=$!
    local wid=""
    for _ in $(seq 100); do
        wid=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -1 || true)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    sleep 1
    if [ "$caption" != "Quillmorn" ]; then
        # Select the text editor so that its icon and readme show.
        eval "$(xdotool getwindowgeometry --shell "$wid")"
        xdotool mousemove $((X + 60)) $((Y + 213)) click 1
        sleep 0.5
    fi
    import -window "$wid" "$output"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}
mkdir -p docs
shoot "Quillmorn" docs/main-menu.png "$work"
shoot "Quillmorn ListView - $work" docs/catalogue.png -l "$work"
QUILLMORN_LANG=en shoot "Quillmorn" docs/main-menu-en.png "$work"
QUILLMORN_LANG=en shoot "Quillmorn ListView - $work" docs/catalogue-en.png -l "$work"
echo "docs/main-menu.png docs/catalogue.png docs/main-menu-en.png docs/catalogue-en.png written"
