#!/bin/sh
# Times `skedora-cli watch` at its default interval: a backlog of 200 files of 1,000 events each
# present at start, a file copied in while it runs (median of 5), and a second watcher of the same
# home refused.
#   bench/watch_timing.sh [path/to/skedora-cli]
set -eu
cli=${1:-build/bin/skedora-cli}
work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/home" "$work/watch" "$work/out"

printf '[Skedora]\r\nVersion=1\r\n[Auto_Load]\r\nPath=%s/\r\nOut_Path=%s/\r\nDBF=1\r\nCSV=1\r\nDelete=1\r\nPrefix_Date=0\r\n' \
    "$work/watch" "$work/out" > "$work/home/SK.ini"
awk 'BEGIN {
    printf "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,tochnm_hd,fch,fchnm_hd,co,systemname,U1,U2\r\n"
    for (i = 1; i <= 1000; i++)
        printf "%d,03/05/2024,TUE,%02d:%02d:00,%02d:%02d:00,Show %d,X,,Y,note,5,K%03d,6,W%03d,%d,NORTH,,\r\n", \
            i % 7 + 1, i % 24, i % 60, (i + 1) % 24, i % 60, i % 30, i % 30, i % 30, i % 50
}' > "$work/events.csv"

now() { date +%s.%N; }
outputs() { find "$work/out" -name '*.CP2' | wc -l; }
# Waits until the count of outputs reaches $1; gives up after 120 s.
wait_outputs() {
    n=0
    while [ "$(outputs)" -lt "$1" ]; do
        sleep 0.02
        n=$((n + 1))
        [ "$n" -lt 6000 ] || { echo "gave up waiting for $1 outputs" >&2; exit 1; }
    done
}

i=1
while [ "$i" -le 200 ]; do
    cp "$work/events.csv" "$work/watch/B$i.CSV"
    i=$((i + 1))
done
touch -d '1 hour ago' "$work/watch/"*.CSV

start=$(now)
"$cli" watch --home "$work/home" > "$work/watch.log" 2>&1 &
pid=$!
wait_outputs 200
echo "backlog: 200 files of 1000 events converted in $(echo "$(now) - $start" | bc) s" \
    "($(grep -c ': 1000 read, 0 skipped, 0 deleted, 1000 written' "$work/watch.log") reported whole)"

start=$(now)
if "$cli" watch --home "$work/home" 2> "$work/second.err"; then
    echo "second watcher was not refused" >&2
    exit 1
fi
echo "second watcher: exit 1 after $(echo "$(now) - $start" | bc) s: $(cat "$work/second.err")"

times=""
i=1
while [ "$i" -le 5 ]; do
    sleep 1
    before=$(outputs)
    start=$(now)
    cp "$work/events.csv" "$work/watch/N$i.CSV"
    wait_outputs $((before + 1))
    t=$(echo "$(now) - $start" | bc)
    echo "copied in $i: converted after $t s"
    times="$times $t"
    i=$((i + 1))
done
echo "copied in: median $(echo "$times" | tr ' ' '\n' | sed '/^$/d' | sort -n | sed -n 3p) s"
