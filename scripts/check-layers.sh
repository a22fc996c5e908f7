#!/usr/bin/env bash
# Fails when a folder includes or links a layer above its own (or a sibling
# of its own rank), and when a layer below the windows uses Qt Widgets.
# Ranks: storage < document < printing = maintenance < editors = dialogs <
# app. tools/ may use everything below app; its benchmarks (bench*), which
# measure the main window itself, may use app too.
set -u
cd "$(dirname "$0")/.."
folders="storage document printing maintenance editors dialogs app tools"

rank() {
    case $1 in
    storage) echo 0 ;;
    document) echo 1 ;;
    printing | maintenance) echo 2 ;;
    editors | dialogs) echo 3 ;;
    app | tools) echo 4 ;;
    bench) echo 5 ;;
    *) echo -1 ;;
    esac
}

# The layer of a file or target: its folder, or "bench" for a benchmark.
layer() { # folder name
    case $1/$2 in
    tools/bench*) echo bench ;;
    *) echo "$1" ;;
    esac
}

# The class headers of Qt Widgets, from the installed headers.
widgets_dir=$(ls -d /usr/include/*/qt6/QtWidgets /usr/include/qt6/QtWidgets 2>/dev/null | head -n 1)
is_widgets_header() {
    local h=${1#QtWidgets/}
    [ "$1" = QtWidgets ] && return 0
    if [ -n "$widgets_dir" ]; then
        [ -f "$widgets_dir/$h" ]
    else
        [[ $h =~ ^Q(Widget|Application|Dialog|MainWindow|MessageBox|FileDialog|InputDialog|Label|PushButton|LineEdit|PlainTextEdit|TextEdit|ComboBox|Menu|Layout|BoxLayout|GridLayout)$ ]]
    fi
}

failed=0
fail() {
    echo "$1" >&2
    failed=1
}

# used: the folder (or "Qt6::Widgets") a file or target of layer uses.
check_use() { # where layer used what
    local where=$1 from=$2 used=$3 what=$4
    if [ "$used" = Qt6::Widgets ] || [ "$used" = Qt6::PrintSupport ]; then
        [ "$(rank "$from")" -lt 3 ] && fail "$where: $what: no Qt Widgets below editors/"
        return
    fi
    local to
    to=$(rank "$used")
    [ "$to" -lt 0 ] || [ "$used" = "$from" ] && return
    if [ "$to" -gt "$(rank "$from")" ]; then
        fail "$where: $what: $from/ may not use $used/, a higher layer"
    elif [ "$to" -eq "$(rank "$from")" ]; then
        fail "$where: $what: $from/ may not use $used/, a layer of its own rank"
    fi
}

for dir in $folders; do
    while IFS=: read -r file line text; do
        from=$(layer "$dir" "$(basename "$file")")
        if [[ $text =~ \#[[:space:]]*include[[:space:]]*\"([a-z]+)/ ]]; then
            check_use "$file:$line" "$from" "${BASH_REMATCH[1]}" "$text"
        elif [[ $text =~ \#[[:space:]]*include[[:space:]]*\<([A-Za-z/_.]+)\> ]] &&
            is_widgets_header "${BASH_REMATCH[1]}"; then
            check_use "$file:$line" "$from" Qt6::Widgets "$text"
        fi
    done < <(find "$dir" -name '*.h' -o -name '*.cpp' | sort | xargs grep -Hn '^[[:space:]]*#[[:space:]]*include')

    # Every item of every target_link_libraries(target ...) call, with its line.
    while read -r line target item; do
        from=$(layer "$dir" "$target")
        case $item in
        swiadectwa_*) check_use "$dir/CMakeLists.txt:$line" "$from" "${item#swiadectwa_}" "$target links $item" ;;
        Qt6::Widgets | Qt6::PrintSupport) check_use "$dir/CMakeLists.txt:$line" "$from" "$item" "$target links $item" ;;
        esac
    done < <(awk '
        /target_link_libraries[[:space:]]*\(/ { inside = 1; target = ""; sub(/.*target_link_libraries[[:space:]]*\(/, "") }
        inside {
            text = $0; done = sub(/\).*/, "", text)
            n = split(text, words, /[[:space:]]+/)
            for (i = 1; i <= n; i++) {
                if (words[i] == "") continue
                if (target == "") target = words[i]
                else print NR, target, words[i]
            }
            if (done) inside = 0
        }' "$dir/CMakeLists.txt")
done

if [ "$failed" -ne 0 ]; then
    echo "Layering check failed: a lower layer uses a higher one (see above)." >&2
    exit 1
fi
echo "Layering check passed."
