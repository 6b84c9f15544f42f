#!/usr/bin/env bash
# Records every number the monitor can speak as "<number>.MP3" in the sound folder.
#
#   make_sounds.sh <number-lister> <sound-folder> <espeak-ng> <lame>
#
# The lister prints the numbers, one per line. Recordings of numbers it no longer lists are
# removed, so the folder holds exactly what the monitor can ask for.
set -euo pipefail

lister=$1 folder=$2 espeak=$3 lame=$4

numbers=$("$lister")
mkdir -p "$folder"

for file in "$folder"/*.MP3; do
  [ -e "$file" ] || continue
  grep -qxF "$(basename "$file" .MP3)" <<<"$numbers" || rm -f "$file"
done

# A clear American English voice, a little faster than espeak's default so that the longest
# number ("one hundred thirteen") stays near one second; the WAV goes straight into lame. Each
# number is its own job, as many at once as there are cores.
# shellcheck disable=SC2016,SC2086
printf '%s\n' $numbers | xargs -n 1 -P "$(nproc)" sh -c \
  '"$0" -v en-us -s 190 --stdout "$3" | "$1" --quiet - "$2/$3.MP3"' "$espeak" "$lame" "$folder"
