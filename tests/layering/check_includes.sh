#!/usr/bin/env bash
# Fails when a source folder includes a folder it may not lean on. The layers,
# bottom first; a folder may include itself and the folders on its line.
set -euo pipefail
src="${1:?usage: check_includes.sh SRC_DIR}"

declare -A allowed=(
    [core]=""
    [model]="core"
    [base]="core"
    [slider]="core base"
    [buttons]="core base"
    [persist]="core base"
    [skin]="core base"
    [hostlink]="core"
    [output]="core"
    [layoutfile]="core model"
    [bank]="core model base slider buttons"
    [dialogs]="core model base slider buttons skin bank output"
    [app]="core model base slider buttons persist skin hostlink output bank layoutfile dialogs"
)

failures=0
for dir in "$src"/*/; do
    folder=$(basename "$dir")
    if [[ ! -v allowed[$folder] ]]; then
        echo "src/$folder: a folder without a place in the layers; add it to $0"
        failures=$((failures + 1))
        continue
    fi
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")
        if [[ "$target" == *..* || "$target" != */* ]]; then
            echo "${file#"$src"/}:$line: includes \"$target\": name the folder, never a relative path"
            failures=$((failures + 1))
            continue
        fi
        to=${target%%/*}
        [[ "$to" == "$folder" ]] && continue
        if [[ " ${allowed[$folder]} " != *" $to "* ]]; then
            echo "${file#"$src"/}:$line: $folder may not include $to (\"$target\")"
            failures=$((failures + 1))
        fi
    done < <(grep -rn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir" --include='*.h' --include='*.cpp' || true)
done

if [[ $failures -gt 0 ]]; then
    echo "$failures include(s) against the layers"
    exit 1
fi
echo "every include follows the layers"
