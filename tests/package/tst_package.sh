#!/bin/sh
# The Debian package, unpacked into a temporary root (nothing is installed on the machine):
# it holds what the install rules promise and nothing of the build tree, its desktop entry and
# metainfo validate, and the unpacked program, started as from the menu by a new user, makes
# ~/Bibliora with its library and keeps its files there; started again in that directory it
# opens the main window, shows the installed guide on F1 and closes cleanly.
# usage: tst_package.sh BUILD_DIR SOURCE_DIR VERSION
set -eu
build=$1
source=$2
version=$3

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
    seconds=$1
    shift
    deadline=$(($(date +%s) + seconds))
    until "$@"; do
        [ "$(date +%s)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Second stage, on the virtual display that the first stage starts.
if [ "${PACKAGE_TEST_SESSION:-}" = 1 ]; then
    tmp=$4
    root=$tmp/root
    home=$tmp/home
    library=$home/Bibliora
    program=$(readlink -f "$root/usr/lib/bibliora/bibliora")
    cd "$tmp/elsewhere"
    export HOME="$home" PATH="$tmp/bin:$PATH" FIREBIRD_LOCK="$tmp/locks" QT_QPA_PLATFORM=xcb
    unset BIBLIORA_HOME XDG_RUNTIME_DIR XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME

    is_program() { [ "$(readlink -f "/proc/$1/exe" 2>/dev/null)" = "$program" ]; }
    catches_hangup() {
        is_program "$1" || return 1
        mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "/proc/$1/status")
        [ $((0x$mask & 1)) = 1 ]
    }
    ended_cleanly() {
        wait "$1" || fail "the program ended with status $?"
        [ -f "$library/logfile.txt" ] || fail "no log file in ~/Bibliora"
        tail -n 1 "$library/logfile.txt" | grep -q ': Work ending;' ||
            fail "the log does not end with Work ending: $(tail -n 1 "$library/logfile.txt")"
    }

    # First start: the launcher makes the library directory and an empty library; the program
    # waits for the language on the splash, and a signal closes it as the window does.
    "$root/usr/bin/bibliora" >"$tmp/first.out" 2>&1 &
    pid=$!
    wait_for 60 catches_hangup $pid || fail "the program did not start: $(cat "$tmp/first.out")"
    kill -TERM $pid
    ended_cleanly $pid
    for file in LIBRARY.GDB .dbconnection logfile.txt; do
        [ -f "$library/$file" ] || fail "~/Bibliora/$file is missing"
    done
    # Closed before the splash's OK: the next start asks for the language again.
    [ ! -e "$library/.settings" ] || fail "~/Bibliora/.settings was written before the language was confirmed"
    # As if the user had confirmed English on the splash.
    printf 'Language=en\r\n' >"$library/.settings"
    [ -z "$(ls -A "$tmp/elsewhere")" ] || fail "files written in the starting directory: $(ls -A "$tmp/elsewhere")"
    grep -F -q "$library" "$library/logfile.txt" || fail "the program did not work in ~/Bibliora"

    # Second start, from a terminal in the library directory (another one named in
    # BIBLIORA_HOME is not used): straight to the main window; F1 opens a page of the installed guide.
    cd "$library"
    BIBLIORA_HOME="$tmp/not-used" "$root/usr/bin/bibliora" >"$tmp/second.out" 2>&1 &
    pid=$!
    window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Application preview' | head -n 1) ||
        fail "no main window: $(cat "$tmp/second.out")"
    inotifywait -m -r -e open --format '%w%f' "$root/usr/share/bibliora/guide" >"$tmp/opened" 2>"$tmp/watch.err" &
    watcher=$!
    wait_for 30 grep -q 'Watches established' "$tmp/watch.err" || fail "inotifywait did not start"
    xdotool windowfocus --sync "$window" key F1
    wait_for 30 grep -q '\.html$' "$tmp/opened" || fail "F1 opened no page of the installed guide"
    kill $watcher
    kill -TERM $pid
    ended_cleanly $pid
    [ ! -e "$tmp/not-used" ] || fail "BIBLIORA_HOME was used although the current directory holds a library"
    exit 0
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/home" "$tmp/elsewhere" "$tmp/bin"
mkdir -m 700 "$tmp/locks"

# Build the package into a folder of the test's own.
(cd "$build" && cpack -G DEB -B "$tmp/pack") >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb=$tmp/pack/bibliora_${version}_amd64.deb
[ -f "$deb" ] || fail "no $deb: $(ls "$tmp/pack")"

depends=$(dpkg-deb -f "$deb" Depends)
for package in firebird3.0-server-core libfbclient2 libqt6widgets6 qt6-translations-l10n; do
    echo "$depends" | grep -q "\\b$package\\b" || fail "the package does not depend on $package: $depends"
done

# Every file the package holds is one the install rules promise, and every promised file is there.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$tmp/files"
while read -r file; do
    case $file in
    usr/bin/bibliora | usr/lib/bibliora/bibliora | usr/lib/bibliora/mklibrary) ;;
    usr/share/bibliora/guide/*) ;;
    usr/share/applications/org.bibliora.Bibliora.desktop) ;;
    usr/share/metainfo/org.bibliora.Bibliora.metainfo.xml) ;;
    usr/share/icons/hicolor/*x*/apps/bibliora.png) ;;
    usr/share/man/man1/bibliora.1.gz) ;;
    usr/share/doc/bibliora/copyright | usr/share/doc/bibliora/changelog.gz) ;;
    *) fail "unexpected file in the package: $file" ;;
    esac
done <"$tmp/files"
{
    echo usr/bin/bibliora
    echo usr/lib/bibliora/bibliora
    echo usr/lib/bibliora/mklibrary
    (cd "$source/src/info/guide" && find . -type f | sed 's|^\./|usr/share/bibliora/guide/|')
    echo usr/share/applications/org.bibliora.Bibliora.desktop
    echo usr/share/metainfo/org.bibliora.Bibliora.metainfo.xml
    for size in 16 24 32 48 64 128 256; do echo "usr/share/icons/hicolor/${size}x$size/apps/bibliora.png"; done
    echo usr/share/man/man1/bibliora.1.gz
    echo usr/share/doc/bibliora/copyright
} | while read -r file; do
    grep -qx "$file" "$tmp/files" || fail "the package lacks $file"
done
for language in ru ua; do
    if [ -d "$source/src/info/guide/$language" ]; then
        grep -q "^usr/share/bibliora/guide/$language/.*\\.html$" "$tmp/files" || fail "no guide pages in $language"
    fi
done

dpkg -x "$deb" "$tmp/root"
if grep -r -l -F "$build" "$tmp/root"; then fail "the files above name the build tree"; fi
desktop-file-validate "$tmp/root/usr/share/applications/org.bibliora.Bibliora.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$tmp/root/usr/share/metainfo/org.bibliora.Bibliora.metainfo.xml" || fail "metainfo"
zcat "$tmp/root/usr/share/man/man1/bibliora.1.gz" | grep -q '^\.SH FILES' || fail "manual page"

# The guide's browser, for the program started here: it reads the page it is given.
cat >"$tmp/bin/xdg-open" <<'SCRIPT'
#!/bin/sh
cat "${1#file://}" >/dev/null
SCRIPT
chmod +x "$tmp/bin/xdg-open"

PACKAGE_TEST_SESSION=1 xvfb-run -a -s '-screen 0 1280x1024x24' sh "$0" "$build" "$source" "$version" "$tmp"
echo "PASS: the package installs, starts from the menu in ~/Bibliora and shows its guide"
