#!/bin/sh
# What it costs headless Chromium to show a page that `lumaveil plot` wrote,
# apart from the browser's own start-up:
#   1. a screenshot of about:blank (the start-up alone),
#   2. a screenshot of the page (start-up and page),
#   3. the page's own time, from its navigation start to its load event and
#      to two animation frames after it (the first screen rendered), as the
#      browser's clocks give them.
# Medians of RUNS runs; the window is 1400 x 1000 px, as in the browser test.
#
#   sh bench/render_page.sh PLOTS/index.html [RUNS] [CHROMIUM]
#
# For (3) a small page in a scratch folder loads index.html in a frame of
# the whole window and writes the timings into its own text, read back with
# --dump-dom; plot's page itself carries no measuring code. That page holds
# its own load event open (a frame whose document stays open) until the two
# animation frames have passed, since --dump-dom reads the text at the load
# event.
set -eu
page=$(realpath "$1")
runs=${2:-5}
chromium=${3:-$(command -v chromium || command -v chromium-browser || true)}
[ -n "$chromium" ] || { echo "render_page.sh: no chromium found" >&2; exit 1; }
scratch=$(mktemp -d /tmp/lumaveil-render.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# One headless Chromium with a fresh profile; the arguments follow.
browse() {
  rm -rf "$scratch/profile"
  timeout 180 "$chromium" --headless --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$scratch/profile" --window-size=1400,1000 "$@" 2>/dev/null
}

# Wall time in seconds of RUNS screenshots of URL.
screenshot_times() {
  i=0
  while [ "$i" -lt "$runs" ]; do
    start=$(date +%s.%N)
    browse --screenshot="$scratch/shot.png" "$1" >/dev/null || true
    end=$(date +%s.%N)
    echo "$start $end" | awk '{ printf "%.2f\n", $2 - $1 }' >>"$scratch/wall-$2"
    i=$((i + 1))
  done
  median <"$scratch/wall-$2"
}

cat >"$scratch/measure.html" <<EOF
<!DOCTYPE html>
<html><head><meta charset="utf-8"/>
<style>body { margin: 0; } iframe { border: 0; width: 1400px; height: 1000px; }</style>
</head><body>
<p id="result">no result</p>
<script>
// Keeps this page's load event (and so --dump-dom) waiting until close().
const hold = document.createElement('iframe');
hold.style.display = 'none';
document.body.appendChild(hold);
hold.contentDocument.open();
const shown = document.createElement('iframe');
shown.addEventListener('load', () => {
  requestAnimationFrame(() => requestAnimationFrame(() => {
    const rendered = performance.timeOrigin + performance.now();
    let text;
    try {
      const w = shown.contentWindow;
      const nav = w.performance.getEntriesByType('navigation')[0];
      text = 'load ' + nav.loadEventEnd.toFixed(0) + ' ms, rendered ' +
             (rendered - w.performance.timeOrigin).toFixed(0) + ' ms';
    } catch (e) {
      text = 'timings not readable: ' + e;
    }
    document.getElementById('result').textContent = text;
    hold.contentDocument.close();
  }));
});
shown.src = 'file://$page';
document.body.appendChild(shown);
</script>
</body></html>
EOF

blank=$(screenshot_times about:blank blank)
shot=$(screenshot_times "file://$page" page)
i=0
while [ "$i" -lt "$runs" ]; do
  browse --allow-file-access-from-files --dump-dom "file://$scratch/measure.html" |
    sed -n 's/.*<p id="result">load \([0-9]*\) ms, rendered \([0-9]*\) ms<.*/\1 \2/p' \
      >>"$scratch/own"
  i=$((i + 1))
done
[ -s "$scratch/own" ] || { echo "render_page.sh: the page's timings could not be read" >&2; exit 1; }
load=$(awk '{ print $1 }' "$scratch/own" | median)
rendered=$(awk '{ print $2 }' "$scratch/own" | median)
svg=$(cat "$(dirname "$page")"/*.svg | wc -c)

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo '| what | median of '"$runs"' |'
echo '|---|---:|'
echo "| screenshot of about:blank (start-up) | $blank s |"
echo "| screenshot of the page | $shot s |"
echo "| the page alone: navigation to load event | $load ms |"
echo "| the page alone: navigation to two frames after load | $rendered ms |"
echo "| SVG files beside the page | $((svg / 1000)) kB |"
