#!/bin/bash
# A bounded mutation run over class files through the command line: a few
# seed class files are damaged at random (bytes flipped, pages zeroed,
# truncated, schema rows altered, a write-ahead log mutated) and each one is
# printed with "swiadectwa --pdf" under a time limit. A run that ends by a
# signal is a crash, one that outlives its limit a hang; both are kept in the
# work folder for a closer look. Not part of ./test.sh.
#
#   scripts/fuzz-classfiles.sh [SECONDS]      (default 600)
#
# SWIADECTWA names the program (default build/bin/swiadectwa); FUZZ_WORK the
# work folder (default a new one under /tmp); FUZZ_LIMIT the time limit of
# one run in seconds (default 20).
set -u

duration=${1:-600}
root=$(cd "$(dirname "$0")/.." && pwd)
program=${SWIADECTWA:-$root/build/bin/swiadectwa}
limit=${FUZZ_LIMIT:-20}
work=${FUZZ_WORK:-$(mktemp -d /tmp/fuzz-classfiles-XXXXXX)}
[ -x "$program" ] || { echo "Brak programu: $program (najpierw zbuduj)" >&2; exit 2; }
command -v python3 >/dev/null || { echo "Brak python3" >&2; exit 2; }

mkdir -p "$work/seeds" "$work/found" "$work/data" "$work/case"
mkdir -p -m 700 "$work/run"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen

# Seeds and mutants are made by one helper; the program's own code is not used.
cat >"$work/mutate.py" <<'EOF'
import os, random, shutil, sqlite3, sys

DOC1 = "SWIADECTWO UKONCZENIA KLASY 1 SZKOLY PODST."

def pupil(db, pesel, surname, memo_len=200):
    t = "PESEL" + pesel
    db.execute(f"create table `{t}`( id TEXT, comp_name TEXT, value TEXT )")
    rows = [("DANE UCZNIA", "Nazwisko_DATA_EDIT", surname),
            ("DANE UCZNIA", "Imie_DATA_EDIT", "Anna"),
            ("DANE UCZNIA", "Pesel_DATA_EDIT", pesel),
            (DOC1, "ZMIENNA_Zachowanie_STR2_DATA_MEMO01", "wzorowe " * (memo_len // 8)),
            (DOC1, "ZMIENNA_SzczegolneOsiagniecia1_STR2_DATA_EDIT", "Tyl " + surname)]
    db.executemany(f"insert into `{t}` values(?,?,?)", rows)

def seeds(folder):
    plain = os.path.join(folder, "klasa.sqbr5")
    db = sqlite3.connect(plain)
    for i, s in enumerate(["Agrest", "Buk", "Cis", "Dab", "Jesion"]):
        pupil(db, "0%d" % (i + 1), s, 200 + 900 * i)
    db.commit(); db.close()
    idx = os.path.join(folder, "indeks.sqbr5")
    shutil.copy(plain, idx)
    db = sqlite3.connect(idx)
    db.execute("create index i on PESEL02(comp_name)")
    db.execute("create table uwagi( tekst TEXT )")
    db.commit(); db.close()
    # A file whose last change is still in its write-ahead log.
    wal = os.path.join(folder, "wal.sqbr5")
    shutil.copy(plain, wal)
    db = sqlite3.connect(wal, isolation_level=None)
    db.execute("pragma journal_mode=wal")
    db.execute("pragma wal_autocheckpoint=0")
    db.execute("update PESEL01 set value='Nowak' where comp_name='Nazwisko_DATA_EDIT'")
    shutil.copy(wal, wal + ".keep")
    shutil.copy(wal + "-wal", wal + "-wal.keep")
    db.close()
    os.replace(wal + ".keep", wal)
    os.replace(wal + "-wal.keep", wal + "-wal")

def schema(path, rnd):
    db = sqlite3.connect(path)
    db.execute("pragma writable_schema=1")
    names = [r[0] for r in db.execute("select name from sqlite_master")]
    if not names:
        return
    name = rnd.choice(names)
    change = rnd.randrange(7)
    if change == 0:
        db.execute("update sqlite_master set rootpage=? where name=?", (rnd.randrange(-3, 40), name))
    elif change == 1:
        db.execute("update sqlite_master set type=? where name=?",
                   (rnd.choice(["view", "index", "trigger", "table", "x"]), name))
    elif change == 2:
        db.execute("update sqlite_master set sql=replace(sql, 'TEXT', ?) where name=?",
                   (rnd.choice(["", ",", "INTEGER CHECK(0)", "AS (1)", "("]), name))
    elif change == 3:
        db.execute("update sqlite_master set name=? where name=?",
                   (rnd.choice(["PESEL01", "PESEL", "", "sqlite_x", "PESEL" + "9" * 300]), name))
    elif change == 4:
        db.execute("update sqlite_master set sql=? where name=?",
                   ("create view `%s` as with recursive c(x) as (select 1 union all "
                    "select x+1 from c) select 'DANE UCZNIA' id, 'Nazwisko_DATA_EDIT' "
                    "comp_name, x value from c" % name, name))
    elif change == 5:
        db.execute("update sqlite_master set tbl_name=? where name=?", ("PESEL99", name))
    else:
        db.execute("delete from sqlite_master where name=?", (name,))
    db.commit()
    db.close()

def mutate(seed, out, number):
    rnd = random.Random(number)
    for suffix in ("", "-wal"):
        if os.path.exists(out + suffix):
            os.remove(out + suffix)
    shutil.copy(seed, out)
    if os.path.exists(seed + "-wal"):
        shutil.copy(seed + "-wal", out + "-wal")
    target = out + "-wal" if os.path.exists(out + "-wal") and rnd.random() < 0.4 else out
    for _ in range(rnd.randrange(1, 4)):
        kind = rnd.randrange(5)
        data = bytearray(open(target, "rb").read())
        if not data:
            break
        if kind == 0:  # bytes flipped
            for _ in range(rnd.randrange(1, 24)):
                i = rnd.randrange(len(data))
                data[i] ^= 1 << rnd.randrange(8)
        elif kind == 1:  # a page zeroed
            page = 4096 if len(data) >= 4096 else len(data)
            start = rnd.randrange(max(1, len(data) // page)) * page
            data[start:start + page] = bytes(len(data[start:start + page]))
        elif kind == 2:  # truncated
            data = data[:rnd.choice([rnd.randrange(len(data)), (len(data) // 4096 // 2) * 4096])]
        elif kind == 3:  # header and page-header bytes: where the counts live
            for _ in range(rnd.randrange(1, 6)):
                i = rnd.choice([rnd.randrange(min(len(data), 100)),
                                rnd.randrange(len(data) // 4096 + 1) * 4096 + rnd.randrange(12)])
                if i < len(data):
                    data[i] = rnd.choice([0, 1, 0x7f, 0x80, 0xff, rnd.randrange(256)])
        open(target, "wb").write(bytes(data))
        if kind == 4 and target == out:  # schema rows altered
            try:
                schema(out, rnd)
            except sqlite3.DatabaseError:
                pass

if sys.argv[1] == "seeds":
    seeds(sys.argv[2])
else:
    mutate(sys.argv[2], sys.argv[3], int(sys.argv[4]))
EOF

python3 "$work/mutate.py" seeds "$work/seeds" || exit 2
seeds=("$work/seeds/klasa.sqbr5" "$work/seeds/indeks.sqbr5" "$work/seeds/wal.sqbr5")
documents=("MEN-I/1/2 świad. klasa 1" "wywiadówka" "MEN-I/37/2 arkusz str. 1")

tried=0 crashes=0 hangs=0
declare -A statuses
end=$((SECONDS + duration))
while [ $SECONDS -lt $end ]; do
    number=$((RANDOM * 32768 + RANDOM))
    seed=${seeds[$((tried % ${#seeds[@]}))]}
    case="$work/case/klasa.sqbr5"
    python3 "$work/mutate.py" mutate "$seed" "$case" "$number" 2>/dev/null || continue
    document=${documents[$((number % ${#documents[@]}))]}
    timeout -k 5 "$limit" "$program" --pdf "$work/case/wynik.pdf" --dokument "$document" \
        "$case" >/dev/null 2>"$work/case/stderr"
    status=$?
    tried=$((tried + 1))
    statuses[$status]=$((${statuses[$status]:-0} + 1))
    kept=""
    if [ $status -eq 124 ] || [ $status -eq 137 ]; then
        hangs=$((hangs + 1)); kept="hang"
    elif [ $status -gt 128 ]; then
        crashes=$((crashes + 1)); kept="crash-signal$((status - 128))"
    fi
    if [ -n "$kept" ]; then
        mkdir -p "$work/found/$kept-$number"
        cp "$case"* "$work/case/stderr" "$work/found/$kept-$number/" 2>/dev/null
        echo "$kept: $seed #$number ($document)" >&2
    fi
done

echo "Pliki: $tried, awarie (sygnały): $crashes, zawieszenia (limit ${limit} s): $hangs"
printf 'Kody wyjścia:'
for s in $(printf '%s\n' "${!statuses[@]}" | sort -n); do printf ' %s×%s' "$s" "${statuses[$s]}"; done
echo
echo "Folder roboczy: $work"
[ $crashes -eq 0 ] && [ $hangs -eq 0 ]
