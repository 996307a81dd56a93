#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program as a command: its options, its exit statuses, and the
# collection folder named on the command line, one table row a case.
#   tests/command_line.sh PROGRAM VERSION
set -euo pipefail
program=$1
version=$2
source "$(dirname "$0")/lib/on_screen.sh"
# The program alone, with no Data/ beside it.
mkdir -p "$work/bin" "$work/elsewhere"
# The program and its window module, which it finds beside itself.
cp "$program" "$work/bin/sayvane"; cp "$(dirname "$program")/sayvane-window.so" "$work/bin/"
collection() { # folder [which-files]
  mkdir -p "$1"
  case "${2:-both}" in
    both | authors) printf '##Plato\r\nWisdom begins in wonder.\r\n' > "$1/authors.txt" ;;
  esac
  case "${2:-both}" in
    both | subjects) printf '##Courage\r\n' > "$1/subjects.txt" ;;
  esac
}
collection "$work/mine"
collection "$work/lacking" authors
collection "$work/odd" authors
mkdir "$work/odd/subjects.txt"
rm "$work/odd/authors.txt"; mkfifo "$work/odd/authors.txt"
collection "$work/bin/Data"
mv "$work/bin/Data" "$work/beside"   # put beside the program by the row that wants it
printf 'Love is blind.\n\t\t-- Chaucer\n%%\nAll is well.\n%%\n' > "$work/love"
mkfifo "$work/pipe"
collection "$work/replaced"

usage="Usage: sayvane [options] [FOLDER]"
hint="Try 'sayvane --help' for more information."
# Each row: name | where it runs | arguments | what the user meets | exit status | first line on stdout | stderr
#   what the user meets: "none" (nothing opens), "window" (the main window, ended with its X label),
#   "box" (a message box titled Sayvane and no main window, closed with Return)
rows=(
  "help|elsewhere|--help|none|0|$usage|"
  "short help|elsewhere|-h|none|0|$usage|"
  "help before a folder|elsewhere|../mine --help|none|0|$usage|"
  "version|elsewhere|--version|none|0|Sayvane $version|"
  "short version|elsewhere|-v|none|0|Sayvane $version|"
  "unknown long option|elsewhere|--colour|none|2||sayvane: Unknown option 'colour'.\n$hint"
  "unknown short option|elsewhere|-x ../mine|none|2||sayvane: Unknown option 'x'.\n$hint"
  "Qt's own option|elsewhere|-platform offscreen|none|2||sayvane: Unknown option 'platform'.\n$hint"
  "second folder|elsewhere|../mine ../lacking|none|2||sayvane: one collection folder at most, not 2\n$hint"
  "empty folder name|elsewhere|''|none|2||sayvane: the folder name is empty\n$hint"
  "absolute folder|elsewhere|$work/mine|window|0||"
  "relative folder|elsewhere|../mine|window|0||"
  "relative folder with a trailing slash|elsewhere|../mine/|window|0||"
  "folder after --|elsewhere|-- ../mine|window|0||"
  "folder lacking subjects.txt|elsewhere|../lacking|box|1||sayvane: $work/elsewhere/../lacking/subjects.txt: No such file or directory"
  "folder that does not exist|elsewhere|../nowhere|box|1||sayvane: $work/elsewhere/../nowhere/authors.txt: No such file or directory\nsayvane: $work/elsewhere/../nowhere/subjects.txt: No such file or directory"
  "a file named as the folder|elsewhere|../mine/authors.txt|box|1||sayvane: $work/elsewhere/../mine/authors.txt/authors.txt: Not a directory\nsayvane: $work/elsewhere/../mine/authors.txt/subjects.txt: Not a directory"
  "a FIFO and a folder in place of the files|elsewhere|../odd|box|1||sayvane: $work/elsewhere/../odd/authors.txt: not a regular file\nsayvane: $work/elsewhere/../odd/subjects.txt: Is a directory"
  "no folder and no Data/ beside the program|elsewhere||box|1||sayvane: $work/bin/Data/authors.txt: No such file or directory\nsayvane: $work/bin/Data/subjects.txt: No such file or directory"
  "import fortunes|elsewhere|--import-fortunes ../imported ../love|none|0|Imported 2 quotations by 2 authors under 1 subject into ../imported|"
  "import without a source|elsewhere|--import-fortunes ../imported|none|2||sayvane: --import-fortunes needs at least one SOURCE\n$hint"
  "import into an existing collection|elsewhere|--import-fortunes ../mine ../love|none|1||sayvane: ../mine/authors.txt exists; --force replaces it; nothing was written"
  "import a FIFO|elsewhere|--import-fortunes ../from-pipe ../pipe|none|1||sayvane: ../pipe: not a regular file; nothing was written"
  "import with --force|elsewhere|--force --import-fortunes ../replaced ../love|none|0|Imported 2 quotations by 2 authors under 1 subject into ../replaced|"
  "--force alone|elsewhere|--force ../mine|none|2||sayvane: --force goes with --import-fortunes\n$hint"
  "add to a new folder|elsewhere|--add 'Life speeds by.' --author Seneca --subject Time ../kept|none|0|Added to authors.txt under the new heading \"Seneca\" (line 2) and to subjects.txt under the new heading \"Time\" (line 2)|"
  "add under an existing author|elsewhere|--add 'Luck.' --author ' Seneca ' ../kept|none|0|Added to authors.txt under \"Seneca\" (line 3)|"
  "add an empty quotation|elsewhere|--add '  ' --author Seneca ../kept|none|2||sayvane: the quotation is empty\n$hint"
  "add a quotation of two lines|elsewhere|--add \$'a\\nb' --author Seneca ../kept|none|2||sayvane: the quotation holds a line end (CR, LF, U+2028 or U+2029); it must be one line\n$hint"
  "add without a name|elsewhere|--add 'Q.' ../kept|none|2||sayvane: --add needs --author NAME, --subject NAME or both\n$hint"
  "check a clean collection|elsewhere|--check ../kept|none|0|No findings: every quotation of authors.txt and subjects.txt can be shown.|"
  "check what hides quotations|elsewhere|--check ../hidden|none|1|$work/elsewhere/../hidden/authors.txt:5: a later section of \"Plato\" (first at line 1): the window shows only the first section of a name, so 1 quotation here is never shown; move it under the first|"
  "check a folder without files|elsewhere|--check ../nowhere|none|2||sayvane: $work/elsewhere/../nowhere/authors.txt: No such file or directory"
  "search|elsewhere|--search wonder ../mine|none|0|Plato: Wisdom begins in wonder.|"
  "search ignoring case|elsewhere|--search -i WONDER ../mine|none|0|Plato: Wisdom begins in wonder.|"
  "search finding nothing|elsewhere|--search WONDER ../mine|none|1||"
  "search for too short a phrase|elsewhere|--search ' ab ' ../mine|none|2||sayvane: the phrase must be at least 3 characters long (spaces at either end do not count)"
  "search without a phrase|elsewhere|--search|none|2||sayvane: --search needs a PHRASE\n$hint"
  "random|elsewhere|--random ../mine|none|0|Wisdom begins in wonder.|"
  "random from a name without quotations|elsewhere|--random --author Nobody ../mine|none|1||sayvane: no quotation to draw from under \"Nobody\" in $work/elsewhere/../mine/authors.txt"
  "random by author and subject|elsewhere|--random --author A --subject B ../mine|none|2||sayvane: --random takes --author or --subject, not both\n$hint"
  "two commands at once|elsewhere|--check --random ../mine|none|2||sayvane: --check and --random cannot go together; choose one\n$hint"
  "--author without a command|elsewhere|--author Plato ../mine|none|2||sayvane: --author goes with --add or --random\n$hint"
  "-i without --search|elsewhere|-i ../mine|none|2||sayvane: --ignore-case goes with --search\n$hint"
  "no folder and Data/ beside the program|elsewhere||window|0||"
)
printf '##Plato\nOne.\n##Seneca\nTwo.\n##Plato\nThree.\n' > "$work/hidden/authors.txt" 2>/dev/null ||
  { mkdir -p "$work/hidden"; printf '##Plato\nOne.\n##Seneca\nTwo.\n##Plato\nThree.\n' > "$work/hidden/authors.txt"; }
printf '##S\nOne.\n' > "$work/hidden/subjects.txt"

for row in "${rows[@]}"; do
  IFS='|' read -r name where arguments meets expected_status expected_stdout expected_stderr <<< "$row"
  eval "arguments=($arguments)"
  [ "$name" = "no folder and Data/ beside the program" ] && mv "$work/beside" "$work/bin/Data"
  out="$work/stdout" err="$work/stderr"
  if [ "$meets" = none ]; then
    # Nothing may open: without any display, a program that tried would fail.
    status=0
    (cd "$work/$where" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
       "$work/bin/sayvane" "${arguments[@]}" > "$out" 2> "$err") || status=$?
  else
    (cd "$work/$where" && exec "$work/bin/sayvane" "${arguments[@]}" > "$out" 2> "$err") & pid=$!
    # What the program was doing, for a window that never came.
    state() { kill -0 "$pid" 2>/dev/null && echo "still running" || echo "ended; it said: $(cat "$err")"; }
    if [ "$meets" = window ]; then
      window=$(wait_window '^Sayvane !$') || fail "$name: no main window ($(state))"
      sleep 0.3
      xdotool mousemove --window "$window" 680 12 click 1   # the "X" label
    else
      box=$(wait_window '^Sayvane$') || fail "$name: no message box ($(state))"
      xdotool search --onlyvisible --name '^Sayvane !$' >/dev/null 2>&1 && fail "$name: main window shown"
      close_box "$box"
    fi
    ends_within "$pid" 5 || { kill "$pid"; fail "$name: still running"; }
    status=0; wait "$pid" || status=$?
  fi
  [ "$status" = "$expected_status" ] || fail "$name: exit status $status, not $expected_status"
  [ "$(head -n1 "$out")" = "$expected_stdout" ] || fail "$name: standard output begins '$(head -n1 "$out")'"
  [ "$(cat "$err")" = "$(printf '%b' "$expected_stderr")" ] || fail "$name: standard error says '$(cat "$err")'"
  echo "ok: $name (status $status)"
done

# What an import wrote reads back; a FIFO's writer was never released.
[ "$(cat "$work/imported/authors.txt")" = $'##Chaucer\nLove is blind. — Chaucer\n##Unattributed\nAll is well.' ] ||
  fail "the imported authors.txt holds '$(cat "$work/imported/authors.txt")'"
[ "$(cat "$work/replaced/subjects.txt")" = $'##love\nLove is blind. — Chaucer\nAll is well.' ] ||
  fail "the replaced subjects.txt holds '$(cat "$work/replaced/subjects.txt")'"
[ ! -e "$work/from-pipe" ] || fail "a failed import made its folder"
# A write that fails halfway (files may hold 1,000 bytes) leaves the
# collection as it was, with no part file beside it.
for i in $(seq 1 100); do printf 'Love is blind, %d.\n%%\n' "$i"; done > "$work/much-love"
status=0
prlimit --fsize=1000 "$work/bin/sayvane" --force --import-fortunes "$work/mine" "$work/much-love" \
  > "$work/stdout" 2> "$work/stderr" || status=$?
[ "$status" = 1 ] || fail "a failing write ended with status $status"
[ "$(cat "$work/stderr")" = "sayvane: $work/mine/authors.txt: File too large; nothing was written" ] ||
  fail "a failing write said '$(cat "$work/stderr")'"
[ "$(cat "$work/mine/authors.txt")" = $'##Plato\r\nWisdom begins in wonder.\r' ] || fail "a failing write changed authors.txt"
[ "$(ls -A "$work/mine")" = $'authors.txt\nsubjects.txt' ] || fail "a failing write left $(ls -A "$work/mine")"
echo "ok: an import writes whole or not at all"

# The commands at the terminal load nothing of the window system: only the
# window loads the window module, and with it Qt Widgets and Gui.
for command in --version "--check $work/mine" "--search wonder $work/mine" "--random $work/mine"; do
  # shellcheck disable=SC2086
  loaded=$(LD_DEBUG=files "$work/bin/sayvane" $command 2>&1 >/dev/null | grep -o 'file=[^ ]*' | sort -u | tr '\n' ' ')
  grep -q 'file=libQt6Core' <<< "$loaded" || fail "$command: the loader's list lacks even QtCore: $loaded"
  grep -q -e Widgets -e Gui -e sayvane-window -e libX11 <<< "$loaded" && fail "$command loaded $loaded"
done
echo "ok: the commands at the terminal load nothing of the window"
# A program whose window module is missing says so, and ends with 1.
mkdir "$work/alone"; cp "$work/bin/sayvane" "$work/alone/"; collection "$work/alone/Data"
status=0; "$work/alone/sayvane" 2> "$work/stderr" || status=$?
[ "$status" = 1 ] || fail "without its window module: status $status"
[ "$(cat "$work/stderr")" = "sayvane: the window cannot be opened: $work/alone/sayvane-window.so: No such file or directory" ] ||
  fail "without its window module the program said '$(cat "$work/stderr")'"
echo "ok: a missing window module is told"

# The help names every option and the folder; the version is one line.
help=$("$work/bin/sayvane" --help)
for word in FOLDER --help --version --import-fortunes --force --add --author --subject --check --random --search \
  --ignore-case SAYVANE_RANDOM_SEED "Exit status:" "at most 268,435,456 bytes long"; do
  grep -q -e "$word" <<< "$help" || fail "the help does not name $word"
done
[ "$("$work/bin/sayvane" --version | wc -l)" = 1 ] || fail "the version is not one line"

# A search read by head: the program ends quietly when the pipe closes.
mkdir -p "$work/many"
{ echo '##Many'; for _ in $(seq 1 20000); do echo 'A line of wisdom, one of very many lines alike.'; done; } \
  > "$work/many/authors.txt"
echo '##S' > "$work/many/subjects.txt"
first=$("$work/bin/sayvane" --search wisdom "$work/many" 2> "$work/stderr" | head -1; echo "status ${PIPESTATUS[0]}")
[ "$first" = $'Many: A line of wisdom, one of very many lines alike.\nstatus 141' ] || fail "search | head -1: $first"
[ ! -s "$work/stderr" ] || fail "search | head -1 said '$(cat "$work/stderr")'"
echo "ok: a search read by head -1 ends quietly"

# Output that cannot be written is trouble, said once, for each command
# that writes its findings: the full disk is told when the first piece of
# the output, or the rest at the end, cannot be written.
for command in "--search wisdom" "--check" "--random"; do
  status=0
  # shellcheck disable=SC2086
  "$work/bin/sayvane" $command "$work/many" > /dev/full 2> "$work/stderr" || status=$?
  [ "$status" = 2 ] || fail "$command > /dev/full: status $status"
  [ "$(cat "$work/stderr")" = "sayvane: write error: No space left on device" ] ||
    fail "$command > /dev/full said '$(cat "$work/stderr")'"
done
echo "ok: output that cannot be written is trouble"
echo "ok: the help names FOLDER, --help, --version and the exit statuses"
