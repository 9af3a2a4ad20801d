# Shared by the scripts that time a Google Benchmark binary (sourced).
#
# run_to_csv NAME BUILD_FOLDER [more options]: runs BUILD_FOLDER/NAME with a
# private runtime folder, so that Qt neither warns nor shares one, and leaves
# its results, in CSV, in the file RESULTS.
run_to_csv() {
  local name="$1"
  shift
  if [ $# -lt 1 ]; then
    echo "Usage: $0 BUILD_FOLDER [more $name options]" >&2
    exit 2
  fi
  local binary="$1/$name"
  shift
  [ -x "$binary" ] || { echo "$binary is missing: build with Google Benchmark installed" >&2; exit 2; }
  RUNTIME=$(mktemp -d)
  RESULTS=$(mktemp)
  trap 'rm -rf "$RUNTIME" "$RESULTS"' EXIT
  if ! XDG_RUNTIME_DIR="$RUNTIME" "$binary" --benchmark_format=csv "$@" >"$RESULTS" 2>"$RUNTIME/errors"; then
    cat "$RUNTIME/errors" >&2
    exit 1
  fi
}

# For awk -F,: the rows, with a line for each benchmark that failed, and
# median(name, column), the column of "BM_Name/repeats:15..._median" or
# "BM_Name_median", whichever the options made.
CSV_ROWS='
  function median(name, column,   i) {
    for (i = 1; i <= n; i++) if (row[i, 1] ~ ("^\"" name "(/[^\"]*)?_median\"$")) return row[i, column]
    return ""
  }
  /^"/ {
    n++
    for (f = 1; f <= NF; f++) row[n, f] = $f
    if ($9 == "true") { printf "%s failed: %s\n", $1, $10; failed = 1 }
  }
'
