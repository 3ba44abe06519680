#!/usr/bin/env bash
# Fails when the core reaches into a layer above it: a widget header, or a
# header of the command line or the editor's widgets. The build already
# refuses most of these (the core neither links QtWidgets nor sees the other
# folders); this names the offending line instead of a compiler error.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/../src" && pwd)}
widgets='QtWidgets|QWidget|QDialog|QMainWindow|QAbstractButton|QPushButton|QToolButton|QPlainTextEdit|QTextEdit|QLabel|QComboBox|QSlider|QLineEdit|QMessageBox|QApplication|QFileDialog'
above=$( (cd "$src/ui" && find . -name '*.h'; cd "$src/cli" && find . -name '*.h') | sed 's|^\./||' | sort -u)
status=0
if grep -rnE "#include\s*[<\"]($widgets)[>\"]" "$src/core"; then
    echo "check-layers: the core includes widget headers (above)" >&2
    status=1
fi
while read -r header; do
    [ -n "$header" ] || continue
    if grep -rnF "#include \"$header\"" "$src/core"; then
        echo "check-layers: the core includes $header from the editor or the command line" >&2
        status=1
    fi
done <<<"$above"
exit $status
