#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program writing a collection where writes go wrong: a failure
# or a signal at each rename (put there by strace), a kill between the two
# renames and the next write after it, signals ignored from the start, a
# shared folder, odd file names, a source of /proc, and a report that
# cannot be printed. After each row the folder holds the whole old or the
# whole new collection and nothing else.
#   tests/collection_writes.sh PROGRAM
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
cd "$work"

printf 'Love is blind.\n\t\t-- Chaucer\n%%\nAll is well.\n%%\n' > love
old_authors=$'##Old\r\nOld words.\r\n'
old_subjects=$'##Older\r\nOld words.\r\n'
new_authors=$'##Chaucer\nLove is blind. — Chaucer\n##Unattributed\nAll is well.\n'
new_subjects=$'##love\nLove is blind. — Chaucer\nAll is well.\n'
old_collection() { # folder
  rm -rf "$1"; mkdir -p "$1"
  printf '%s' "$old_authors" > "$1/authors.txt"
  printf '%s' "$old_subjects" > "$1/subjects.txt"
}
holds() { # folder old|new
  local authors subjects
  if [ "$2" = old ]; then authors=$old_authors subjects=$old_subjects; else authors=$new_authors subjects=$new_subjects; fi
  [ "$(cat "$1/authors.txt"; echo .)" = "$authors." ] || return 1
  [ "$(cat "$1/subjects.txt"; echo .)" = "$subjects." ] || return 1
  [ "$(ls -A "$1")" = $'authors.txt\nsubjects.txt' ]
}

# Each row: name | how the import runs | exit status | the folder holds |
# standard error (for a signal, what the shell says of it).
# The writer's only renames are the two data files', authors.txt first,
# so strace's "when=2" is the rename of subjects.txt.
strace_at() { # what-to-inject command...
  local inject=$1; shift
  # A leak checker cannot work under a tracer (in the sanitizer build).
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 \
    strace -o /dev/null -e trace=renameat,renameat2 -e inject=renameat,renameat2:"$inject" "$@"
}
rows=(
  "the second rename fails|strace_at error=EIO:when=2|1|old|sayvane: c/subjects.txt: Input/output error; nothing was written"
  "the first rename fails|strace_at error=EIO:when=1|1|old|sayvane: c/authors.txt: Input/output error; nothing was written"
  "SIGTERM at the first rename|strace_at signal=SIGTERM:when=1|143|new|Terminated"
  "SIGTERM at the second rename|strace_at signal=SIGTERM:when=2|143|new|Terminated"
  "SIGHUP under nohup|nohup_like strace_at signal=SIGHUP:when=1|0|new|"
  "SIGINT in a script's background job|no_int strace_at signal=SIGINT:when=2|0|new|"
)
nohup_like() { (trap '' HUP; "$@"); }
no_int() { (trap '' INT; "$@"); }
for row in "${rows[@]}"; do
  IFS='|' read -r name how expected_status expected_holds expected_stderr <<< "$row"
  old_collection c
  status=0
  # shellcheck disable=SC2086
  $how "$program" --force --import-fortunes c love > out 2> err || status=$?
  [ "$status" = "$expected_status" ] || fail "$name: exit status $status, not $expected_status ($(cat err))"
  holds c "$expected_holds" || fail "$name: the folder holds $(ls -A c), not the $expected_holds collection"
  [ "$(cat err)" = "$expected_stderr" ] || fail "$name: standard error says '$(cat err)'"
  echo "ok: $name (status $status, the $expected_holds collection)"
done

# Killed between the renames: the new authors.txt stands beside the old
# subjects.txt until the next write into the folder puts the old one back.
old_collection c
status=0
strace_at error=ENOENT:signal=SIGKILL:when=2 "$program" --force --import-fortunes c love > out 2> err || status=$?
[ "$status" = 137 ] || fail "killed between the renames: exit status $status"
[ "$(cat c/subjects.txt)" = "$(printf '%s' "$old_subjects")" ] || fail "killed: subjects.txt was replaced"
status=0
"$program" --import-fortunes c love > out 2> err || status=$?
[ "$status" = 1 ] && [ "$(cat err)" = "sayvane: c/authors.txt exists; --force replaces it; nothing was written" ] ||
  fail "the write after the kill: status $status, '$(cat err)'"
holds c old || fail "the write after the kill left $(ls -A c)"
echo "ok: a kill between the renames is repaired by the next write"

# A shared folder with the sticky bit, where subjects.txt is root's: the
# user's own authors.txt is not replaced either.
mkdir -m 1777 shared
echo ROOT > shared/subjects.txt
echo MINE > shared/authors.txt
chown nobody shared/authors.txt
status=0
setpriv --reuid=nobody --regid=nogroup --clear-groups "$program" --force --import-fortunes shared love > out 2> err ||
  status=$?
[ "$status" = 1 ] || fail "sticky folder: exit status $status"
[ "$(cat shared/authors.txt)" = MINE ] && [ "$(cat shared/subjects.txt)" = ROOT ] ||
  fail "sticky folder: the files changed"
[ "$(ls -A shared)" = $'authors.txt\nsubjects.txt' ] || fail "sticky folder: left $(ls -A shared)"
echo "ok: another user's file in a sticky folder: nothing replaced"

# --force keeps the mode of the files it replaces.
old_collection c
chmod 600 c/authors.txt
"$program" --force --import-fortunes c love > out
[ "$(stat -c %a c/authors.txt)" = 600 ] || fail "--force made authors.txt $(stat -c %a c/authors.txt)"
echo "ok: --force keeps a mode of 0600"

# A report that cannot be printed after the collection was written.
rm -rf c
status=0
"$program" --import-fortunes c love > /dev/full 2> err || status=$?
[ "$status" = 1 ] || fail "/dev/full: exit status $status"
[ "$(cat err)" = "sayvane: write error: No space left on device; the collection was written" ] ||
  fail "/dev/full said '$(cat err)'"
holds c new || fail "/dev/full: the collection was not written"
echo "ok: a report that cannot be printed says the collection was written"

# An existing folder whose path is longer than the system takes at once,
# made a folder at a time.
part=$(printf 'd%.0s' $(seq 1 200))
parts=()
deep=$work
into_deep() { cd "$work" && for p in "${parts[@]}"; do cd "$p"; done; }
while [ ${#deep} -lt 4600 ]; do
  (into_deep && mkdir "$part")
  parts+=("$part")
  deep=$deep/$part
done
status=0
"$program" --import-fortunes "$deep" love > out 2> err || status=$?
[ "$status" = 0 ] || fail "a folder of ${#deep} bytes: status $status, '$(cat err)'"
(into_deep && [ -f authors.txt ] && [ -f subjects.txt ]) || fail "a folder of ${#deep} bytes: the files are not there"
echo "ok: a folder whose path is ${#deep} bytes long"

# A file of /proc reports a size of 0, yet is read to its end.
rm -rf c
"$program" --import-fortunes c /proc/self/status > out
[ "$(head -n1 out)" = "Imported 1 quotation by 1 author under 1 subject into c" ] ||
  fail "/proc/self/status: $(head -n1 out)"
grep -q '^Name:' c/authors.txt || fail "/proc/self/status: its text is not in authors.txt"
echo "ok: a source of size 0 is read to its end"

# Odd file names: a folder whose name holds a byte-order mark is the folder
# written; sources named with a CR, a LF and a Latin-1 byte give subjects
# that read back as one heading each.
mkdir odd
printf 'One.\n%%\n' > odd/$'a\rb'
printf 'Two.\n%%\n' > odd/$'l\nf'
printf 'Three.\n%%\n' > odd/$'caf\xe9'
printf 'Four.\n%%\n' > odd/$'bom\xef\xbb\xbfname'
folder=$'out\xef\xbb\xbfx'
"$program" --import-fortunes "$folder" odd > out
[ -f "$folder/authors.txt" ] && [ ! -e outx ] || fail "the folder with a byte-order mark: $(ls)"
[ "$(grep '^##' "$folder/subjects.txt")" = $'##a b\n##bom\xef\xbb\xbfname\n##café\n##l f' ] ||
  fail "subjects from odd names: $(grep '^##' "$folder/subjects.txt" | od -c)"
[ "$(grep -c . "$folder/subjects.txt")" = 8 ] || fail "subjects from odd names: $(cat "$folder/subjects.txt")"
echo "ok: odd names as folders and sources"
