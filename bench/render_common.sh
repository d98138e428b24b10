# Shared set-up of the selvarin-render benchmark scripts (sourced, not run):
# installs sox and GNU time when missing, builds selvarin-render in $build,
# and makes $outdir (a temporary folder deleted on exit unless given) and a
# $stats file for GNU time.
#
#   bench_setup BUILD-DIR [OUTPUT-DIR]   sets render, outdir, stats

bench_setup() {
  build=$1
  outdir=${2:-}
  local need=()
  command -v sox >/dev/null || need+=(sox)
  [ -x /usr/bin/time ] || need+=(time)
  if [ ${#need[@]} -gt 0 ]; then
    local SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
  fi
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target selvarin-render -j"$(nproc)" >/dev/null
  render="$build/tools/selvarin-render"
  bench_cleanup=""
  if [ -z "$outdir" ]; then
    outdir=$(mktemp -d)
    bench_cleanup=$outdir
  fi
  mkdir -p "$outdir"
  stats=$(mktemp)
  trap 'rm -f "$stats"; [ -n "$bench_cleanup" ] && rm -rf "$bench_cleanup"' EXIT
}

# The smaller of two numbers (the second may be empty).
bench_min() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
