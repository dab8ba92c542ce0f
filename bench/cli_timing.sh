#!/bin/sh
# Times `skedora-cli convert`, or `explain --format jsonl`, on the largest schedule a job can hold
# (32,767 events) with every rule slot of SK.ini filled.
#   bench/cli_timing.sh convert|explain [path/to/skedora-cli] [runs]
set -eu
case "${1:-}" in
    convert) command="convert" ;;
    explain) command="explain --format jsonl" ;;
    *) echo "usage: bench/cli_timing.sh convert|explain [path/to/skedora-cli] [runs]" >&2; exit 2 ;;
esac
cli=${2:-build/bin/skedora-cli}
runs=${3:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

awk 'BEGIN {
    printf "[Skedora]\r\nVersion=1\r\n[Delete]\r\n"
    for (n = 1; n <= 64; n++) printf "Call_Letter_%d=XDEL%d\r\nCO_Number_%d=%d\r\n", n, n, n, n
    for (n = 1; n <= 48; n++) printf "Source_%d=XSRC%d\r\nDestination_%d=XDST%d\r\n", n, n, n, n
    printf "All_HD=0\r\nAll_SD=0\r\nAll_Digital=0\r\nAll_Non_Digital=0\r\n"
    printf "[Change_CO_From_Call_Letter]\r\n"
    for (n = 1; n <= 24; n++) printf "Call_Letter_%d=W%03d\r\nOld_CO_%d=%d\r\nNew_CO_%d=%d\r\n", n, n, n, n, n, n + 100
    printf "[Change_Call_Letter]\r\n"
    for (n = 1; n <= 24; n++) printf "Old_Call_Letter_%d=K%03d\r\nCO_%d=%d\r\nNew_Call_Letter_%d=W%03d\r\n", n, n, n, n, n, n
    printf "[Change_CO_From_Description]\r\n"
    for (n = 1; n <= 24; n++) printf "Program_Description_%d=Show %d\r\nOld_CO_%d=%d\r\nNew_CO_%d=%d\r\n", n, n, n, n + 100, n, n + 200
    printf "[Change_Time]\r\n"
    for (n = 1; n <= 8; n++) printf "Source_%d=K%03d\r\nDestination_%d=W%03d\r\nCO_%d=%d\r\nDescription_%d=Show %d\r\nMath_%d=%d\r\nTime_%d=00:05:00\r\n", n, n, n, n, n, n + 200, n, n, n, (n - 1) % 4, n
    printf "[Auto_Load]\r\nPath=/nonexistent/\r\nOut_Path=/nonexistent/\r\nDBF=0\r\nCSV=0\r\nDelete=0\r\nPrefix_Date=0\r\n"
}' > "$work/SK.ini"

awk 'BEGIN {
    printf "day,cur_date,week_day,on_time,off_time,pgm,mon_beg,mon_end,hidef,comments,toch,tochnm_hd,fch,fchnm_hd,co,systemname,U1,U2\r\n"
    for (i = 1; i <= 32767; i++) {
        n = i % 30 + 1
        printf "%d,03/05/2024,TUE,%02d:%02d:00,%02d:%02d:00,Show %d,X,,Y,note,%d,K%03d,%d,K%03d,%d,NORTH,u1,%s\r\n", \
            i % 7 + 1, i % 24, i % 60, (i + 1) % 24, i % 60, n, n, n, n + 1, n, n, (i % 50 == 0 ? "REMV" : "ADD")
    }
}' > "$work/WEEK1.CSV"

# shellcheck disable=SC2086
"$cli" $command --home "$work" "$work/WEEK1.CSV" | tail -c 600
best=""
i=0
while [ "$i" -lt "$runs" ]; do
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    "$cli" $command --home "$work" "$work/WEEK1.CSV" > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc)
    echo "run $((i + 1)): $t s"
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" -eq 1 ]; then best=$t; fi
    i=$((i + 1))
done
echo "best of $runs: $best s"
