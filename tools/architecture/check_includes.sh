#!/usr/bin/env bash
# Checks that every include between our libraries follows the dependency
# graph the CMake files declare: a source file of library A may include a
# header of library B only when A links B, directly or through the libraries
# it links. The graph is read from the CMake files themselves (each
# skyscuffle_library and its target_link_libraries), so it is declared once.
# A file belongs to the program that lists it (add_executable), else to the
# library whose folder is the longest prefix of its path.
#
#   tools/architecture/check_includes.sh [SOURCE_ROOT]
#
# Prints the libraries of a cycle in the graph, or every include that crosses
# the graph the wrong way with the file and line, and exits 1 if there is
# one; prints the graph's size and exits 0 if not.
set -euo pipefail

root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
cd "$root"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# library folder, and library dependency lines, from the CMake files of the
# engine and the game.
find engine game -name CMakeLists.txt -print0 | sort -z | while IFS= read -r -d '' cmake; do
  awk -v folder="$(dirname "$cmake")" '
    { text = text " " $0 }
    END {
      gsub(/#[^\n]*/, "", text)
      n = split(text, words, /[ \t()]+/)
      for (i = 1; i <= n; ++i) {
        if (words[i] == "skyscuffle_library" || words[i] == "add_library") print "lib", words[i + 1], folder
        if (words[i] == "add_executable")
          for (j = i + 2; j <= n && words[j] ~ /\.cpp$/; ++j) print "exe", words[i + 1], folder "/" words[j]
        if (words[i] == "target_link_libraries") {
          owner = words[i + 1]
          for (j = i + 2; j <= n && words[j] != "skyscuffle_library" && words[j] != "target_link_libraries" &&
                          words[j] != "add_executable" && words[j] != "add_subdirectory" &&
                          words[j] != "target_include_directories" && words[j] != "target_compile_definitions" &&
                          words[j] != "skyscuffle_warnings" && words[j] != "find_package" &&
                          words[j] != "add_library"; ++j)
            if (words[j] ~ /^(kit_|skyscuffle_)/) print "dep", owner, words[j]
        }
      }
    }' <(grep -v '^[[:space:]]*#' "$cmake")
done >"$work/graph"

awk '$1 == "lib" { print $3, $2 }' "$work/graph" | sort -u >"$work/folders" # folder library
awk '$1 == "exe" { print $3, $2 }' "$work/graph" | sort -u >"$work/programs" # file program
awk '$1 == "dep" { print $2, $3 }' "$work/graph" | sort -u >"$work/edges"   # library library

# The graph itself has no cycle: a library never reaches itself through the
# libraries it links.
if ! tsort "$work/edges" >/dev/null 2>"$work/loop"; then
  echo "the library graph has a cycle:"
  sed -n 's/^tsort: //p' "$work/loop"
  exit 1
fi

# Every include of our own headers: file, line, included path (a path
# relative to the including file's folder is made whole first). One awk for
# all files: a process per file or per include took most of the check's time.
find engine game \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z | xargs -0 awk '
  function whole(path,   n, part, i, out, k) {
    n = split(path, part, "/"); k = 0
    for (i = 1; i <= n; ++i) {
      if (part[i] == "" || part[i] == ".") continue
      if (part[i] == ".." && k > 0 && out[k] != "..") { --k; continue }
      out[++k] = part[i]
    }
    path = ""
    for (i = 1; i <= k; ++i) path = path (i > 1 ? "/" : "") out[i]
    return path
  }
  function exists(path,   line, found) {
    found = (getline line < path) >= 0
    close(path)
    return found
  }
  FNR == 1 { folder = FILENAME; sub(/\/[^\/]*$/, "", folder) }
  /^[[:space:]]*#[[:space:]]*include[[:space:]]*"/ {
    match($0, /"[^"]+"/)
    path = substr($0, RSTART + 1, RLENGTH - 2)
    if (exists(folder "/" path)) path = whole(folder "/" path)
    if (path ~ /^(engine|game)\//) print FILENAME, FNR, path
  }' >"$work/includes"

awk -v folders="$work/folders" -v programs="$work/programs" -v edges="$work/edges" '
  function owner(path,   best, f) {
    if (path in program) return program[path]
    best = ""
    for (f in library)
      if ((index(path, f "/") == 1) && length(f) > length(best)) best = f
    return best == "" ? "" : library[best]
  }
  function reaches(a, b) {
    if (!((a, b) in known)) known[a, b] = search(a, b)
    return known[a, b]
  }
  function search(a, b,   queue, seen, head, tail, x, y) {
    if (a == b) return 1
    head = tail = 0; queue[tail++] = a; seen[a] = 1
    while (head < tail) {
      x = queue[head++]
      for (y in linked) {
        split(y, pair, SUBSEP)
        if (pair[1] == x && !(pair[2] in seen)) {
          if (pair[2] == b) return 1
          seen[pair[2]] = 1; queue[tail++] = pair[2]
        }
      }
    }
    return 0
  }
  BEGIN {
    while ((getline l < folders) > 0) { split(l, w, " "); library[w[1]] = w[2]; ++libraries }
    while ((getline l < programs) > 0) { split(l, w, " "); program[w[1]] = w[2] }
    while ((getline l < edges) > 0) { split(l, w, " "); linked[w[1], w[2]] = 1; ++links }
  }
  {
    from = owner($1); to = owner($3)
    if (from == "" || to == "") next
    ++checked
    if (!reaches(from, to)) {
      printf "%s:%s: %s (%s) includes %s (%s), which it does not link\n", $1, $2, $1, from, $3, to
      ++bad
    }
  }
  END {
    if (bad) { printf "%d include(s) cross the library graph the wrong way\n", bad; exit 1 }
    printf "includes follow the library graph: %d libraries, %d links, %d includes between folders checked\n",
           libraries, links, checked
  }' "$work/includes"
