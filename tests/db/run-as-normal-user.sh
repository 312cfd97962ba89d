#!/bin/sh
# Runs the database tests as the unprivileged user "nobody" when started by root; a normal
# user runs them as themselves. The programs are copied to a scratch directory, since the
# build tree may lie where that user cannot reach it.
set -e
# Arguments: the test program, the child-process helper, mklibrary.
test_program=$1
child_process=$2
mklibrary=$3
if [ "$(id -u)" != 0 ]; then
    exec "$test_program"
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
cp "$test_program" "$scratch/"
cp "$child_process" "$mklibrary" "$scratch/"
# The shared lock directory exists and belongs to root, as after root used the engine first.
mkdir -p /tmp/firebird
cd "$scratch"
setpriv --reuid=nobody --regid=nogroup --clear-groups env -u XDG_RUNTIME_DIR HOME="$scratch" \
    BIBLIORA_CHILD_PROCESS="$scratch/fb_child_process" BIBLIORA_MKLIBRARY="$scratch/mklibrary" \
    "$scratch/$(basename "$test_program")"
