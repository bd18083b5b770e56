# shellcheck shell=bash
# Sourced by scripts/test and the end-to-end scripts: working copies of an
# initialised Wine prefix, so that a script can run the real programs in a
# prefix of its own instead of waiting for the shared one.
#
#   prefix_clone <from> <to>   copies the prefix <from> (no server may be
#                              writing its registry meanwhile) to <to>
#
# The system folders hold most of the prefix's bytes and are only ever read:
# their files are hard links. Everything a program may write (the registry
# files, c:\, the user's folders, win.ini) is a real copy, since Wine
# rewrites its files in place. The user's shell folders (Desktop and the
# like) are links into the shared Wine home; a copy gets folders of its own
# instead, so that a desktop shortcut one script makes is not another's.

prefix_clone() {
  local from="$1" to="$2" excludes=() d
  local big=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
  [ -f "$from/.harness-ready" ] || return 1
  for d in "${big[@]}"; do excludes+=("--exclude=./$d"); done
  rm -rf "$to" && mkdir -p "$to" || return 1
  # The install folders of scripts at work and the server's own tag stay
  # behind.
  tar -C "$from" "${excludes[@]}" --exclude=./drive_c/e2e --exclude=./wineserver -cf - . |
    tar -C "$to" -xf - || return 1
  for d in "${big[@]}"; do
    [ -d "$from/$d" ] || continue
    cp -al "$from/$d" "$to/$d" || return 1
  done
  for d in "$to"/drive_c/users/*/*; do
    [ -L "$d" ] || continue
    rm -f "$d" && mkdir -p "$d" || return 1
  done
}
