#!/usr/bin/env bash
# Takes the README's screenshots of the main menu, the catalogue (also filtered and sorted) and
# the link window under Xvfb and openbox, in Japanese (and the main menu and the catalogue in
# English too), with a demo working folder in a temporary home.
# Usage: scripts/screenshots.sh [BUILD_DIR]
# Needs xvfb, xdotool, imagemagick, openbox and fonts-ipaexfont-gothic.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
root=$(mktemp -d /tmp/qm-demo.XXXXXX)
trap 'rm -rf "$root"' EXIT
export HOME=$root/home XDG_CONFIG_HOME=$root/home/.config XDG_DATA_HOME=$root/home/.local/share
export XDG_RUNTIME_DIR=$root/run LC_ALL=C.UTF-8 QUILLMORN_LANG=ja
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
work=$root/Programs
list=$XDG_DATA_HOME/quillmorn/Programs
mkdir -p "$list"
for d in TextEditor ImageViewer Archiver ClockTool OldGame PaletteEditor PaletteTool ColorBook; do
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
    printf '1,パレットエディタ,PaletteEditor,画像,%s,色の組を作ります\r\n' "$work/PaletteEditor/PaletteEditor.exe"
    printf '1,ﾊﾟﾚｯﾄ ﾂｰﾙ,PaletteTool,ツール,%s,画面の色を拾います\r\n' "$work/PaletteTool/PaletteTool.exe"
    printf '1,色見本帳,ColorBook,画像,%s,ぱれっとを並べて比べます\r\n' "$work/ColorBook/ColorBook.exe"
} > "$list/index.qmx"

# Waits for the window with the given caption and prints its id.
window_id() {
    local wid=""
    for _ in $(seq 100); do
        wid=$(xdotool search --onlyvisible --name "^${1}\$" 2>/dev/null | head -1 || true)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    echo "$wid"
}

# shoot CAPTION OUTPUT: waits for the window, lets it settle and takes its picture.
shoot() {
    local wid
    wid=$(window_id "$1")
    sleep 1
    import -window "$wid" "$2"
}

stop() {
    kill "$1"
    wait "$1" 2>/dev/null || true
}

# A window manager frames, places and focuses the windows as on a desktop.
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm=$!
    trap 'kill $wm 2>/dev/null; rm -rf "$root"' EXIT
    sleep 1
fi

mkdir -p docs
"$build/qmorn" "$work" &
pid=$!
shoot "Quillmorn" docs/main-menu.png
# "リンク作成" is the fourth button that takes the focus after the folder box.
xdotool key --window "$(window_id Quillmorn)" Tab Tab Tab Tab space
# The link window rebuilds the shortcuts when it opens and says so in a message box; answer it
# first. (Names are matched without regard to case, so the main menu is among the matches.)
sleep 2
for box in $(xdotool search --onlyvisible --name "^quillmorn\$" 2>/dev/null); do
    if [ "$(xdotool getwindowname "$box")" = quillmorn ]; then
        xdotool windowfocus "$box" 2>/dev/null && xdotool key Return 2>/dev/null || true
    fi
done
# Moving the window makes it draw again where the message box was.
link=$(window_id "Quillmorn - リンク作成")
xdotool windowmove "$link" 10 10 && sleep 0.3 && xdotool windowmove "$link" 0 0
shoot "Quillmorn - リンク作成" docs/link-window.png
stop "$pid"

shoot_catalogue() {  # shoot_catalogue OUTPUT
    "$build/qmorn" -l "$work" &
    pid=$!
    wid=$(window_id "Quillmorn ListView - $work")
    sleep 1
    # Select the text editor so that its icon and readme show.
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool mousemove $((X + 60)) $((Y + 285)) click 1
    sleep 0.5
    import -window "$wid" "$1"
    stop "$pid"
}
shoot_catalogue docs/catalogue.png

# The catalogue filtered by "ぱれっと" (which finds パレット, ﾊﾟﾚｯﾄ and ぱれっと alike) and sorted by
# category, the second click on the header reversing it.
shoot_filtered() {  # shoot_filtered OUTPUT
    "$build/qmorn" -l "$work" &
    pid=$!
    wid=$(window_id "Quillmorn ListView - $work")
    sleep 1
    xdotool windowactivate --sync "$wid" 2>/dev/null || true
    xdotool key --window "$wid" ctrl+f
    # One character at a time: xdotool maps each to a spare key first.
    for c in ぱ れ っ と; do
        xdotool type --delay 150 "$c"
        sleep 0.3
    done
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    xdotool mousemove $((X + 250)) $((Y + 160)) click 1
    sleep 0.3
    xdotool mousemove $((X + 250)) $((Y + 160)) click 1
    sleep 0.3
    xdotool mousemove $((X + 60)) $((Y + 182)) click 1
    sleep 0.5
    import -window "$wid" "$1"
    stop "$pid"
}
shoot_filtered docs/catalogue-filtered.png

export QUILLMORN_LANG=en
"$build/qmorn" "$work" &
pid=$!
shoot "Quillmorn" docs/main-menu-en.png
stop "$pid"
shoot_catalogue docs/catalogue-en.png
shoot_filtered docs/catalogue-filtered-en.png
echo "docs/main-menu.png docs/link-window.png docs/catalogue.png docs/catalogue-filtered.png" \
    "and the English docs/main-menu-en.png docs/catalogue-en.png docs/catalogue-filtered-en.png" \
    "written"
