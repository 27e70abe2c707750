#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the Debian package of a build and checks it as a packager and a new user would: lintian,
# the AppStream and desktop validators, the declared dependencies against the Qt plugins that
# the window really loads, no path of the build in the programs, the installed tree moved away
# from /usr and without /usr/share/doc, the editors and the shell completion as installed.
#
#   tests/package/check-package.sh [BUILD_DIR]     (default: build)
#
# Ends with the line "N passed, N failed" and a non-zero status when any check failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) || exit 2
work=$(mktemp -d "${TMPDIR:-/tmp}/zelk-package-XXXXXX")
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "ok: $1"; }
fail() { failed=$((failed + 1)); echo "FAILED: $1"; }
# check DESCRIPTION COMMAND...: the command's status decides.
check() {
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}
# same DESCRIPTION ACTUAL EXPECTED
same() {
  if [ "$2" == "$3" ]; then
    pass "$1"
  else
    fail "$1"
    echo "  expected: $3"
    echo "  actual:   $2"
  fi
}
have() { command -v "$1" >/dev/null 2>&1; }

# --- The package ---------------------------------------------------------------------------
echo "== cpack -G DEB in $build"
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack makes the package"
  echo "$passed passed, $failed failed"
  exit 1
fi
deb=$(ls "$work"/cpack/zelk_*.deb)
pass "cpack makes $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
version=$("$build/src/zelk" --version | head -n 1)
version=${version#zelk }
same "package version is the program's with a Debian revision" "$(field Version)" "$version-1"
depends=$(field Depends)
echo "Depends: $depends"
same "the package suggests Graphviz, which draws zelk --graph" "$(field Suggests)" "graphviz"
check "Maintainer is a name and an address" \
  grep -Eq '^[^<>]+ <[^@<> ]+@[^@<> ]+\.[a-z]+>$' <<<"$(field Maintainer)"
# Under /usr, but for Emacs's start-up file (a configuration file).
check "every file of the package is under /usr, but for /etc/emacs/site-start.d/50zelk.el" \
  bash -c "! dpkg-deb --contents '$deb' | awk '{print \$6}' | grep -v '^\./usr/' |
    grep -vx -e '\./' -e '\./etc/' -e '\./etc/emacs/' -e '\./etc/emacs/site-start\.d/' \
      -e '\./etc/emacs/site-start\.d/50zelk\.el'"
same "the Emacs start-up file is a configuration file" \
  "$(dpkg-deb --ctrl-tarfile "$deb" | tar -xOf - ./conffiles 2>/dev/null)" \
  "/etc/emacs/site-start.d/50zelk.el"

echo "== lintian --pedantic"
lintian --pedantic --display-info --display-experimental --fail-on error,warning "$deb" \
  >"$work/lintian.log" 2>&1
lintian_status=$?
grep -v '^running with root privileges' "$work/lintian.log"
check "lintian reports no error and no warning" test "$lintian_status" -eq 0
# Every remaining tag, and every overridden one, is one that docs/INSTALL.md lists with its
# reason.
unlisted=""
for tag in $( (awk '/^[EWIPXO]: zelk/ {print $3}' "$work/lintian.log"
  grep -o '^zelk: [a-z0-9-]*' "$root/packaging/debian/lintian-overrides" | cut -d' ' -f2) |
  sort -u); do
  grep -q "\`$tag\`" "$root/docs/INSTALL.md" || unlisted+=" $tag"
done
same "every lintian tag left is listed with its reason in docs/INSTALL.md" "$unlisted" ""

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr
appstream_id=$(sed -n 's/^ZELK_APPSTREAM_ID:STRING=//p' "$build/CMakeCache.txt")

# --- The installed tree --------------------------------------------------------------------
echo "== the installed tree"
for file in bin/zelk libexec/zelk/zelk-desktop share/zelk/zelk-reference.html \
  share/man/man1/zelk.1.gz share/doc/zelk/copyright share/doc/zelk/changelog.gz \
  share/doc/zelk/changelog.Debian.gz share/applications/zelk.desktop \
  share/metainfo/$appstream_id.metainfo.xml share/icons/hicolor/scalable/apps/zelk.svg \
  share/mime/packages/zelk.xml share/vim/vimfiles/syntax/zelkscript.vim \
  share/vim/vimfiles/ftdetect/zelkscript.vim share/nvim/site/syntax/zelkscript.vim \
  share/nvim/site/ftdetect/zelkscript.vim share/org.kde.syntax-highlighting/syntax/zelkscript.xml \
  share/zelk/zelkscript.tmLanguage.json share/bash-completion/completions/zelk \
  share/zsh/vendor-completions/_zelk share/emacs/site-lisp/zelk-mode.el; do
  check "installs $file" test -f "$usr/$file"
done
same "the documentation directory links to the reference" \
  "$(readlink -f "$usr/share/doc/zelk/zelk-reference.html")" "$usr/share/zelk/zelk-reference.html"
# A PNG's width and height are the big-endian words at bytes 16 and 20.
for size in 16 22 24 32 48 64 128 256; do
  png=$usr/share/icons/hicolor/${size}x${size}/apps/zelk.png
  same "a ${size}x${size} PNG icon" "$(od -An -tx1 -j16 -N8 "$png" 2>/dev/null | tr -d ' \n')" \
    "$(printf '%08x%08x' "$size" "$size")"
done

# One version everywhere.
same "the manual page's header names the version" \
  "$(zcat "$usr/share/man/man1/zelk.1.gz" | grep -c "^\.TH ZELK 1 .* \"Zelk $version\"")" 1
check "the reference page names the version" grep -q "$version" "$usr/share/zelk/zelk-reference.html"
check "the AppStream release is the version" \
  grep -q "<release version=\"$version\"" "$usr/share/metainfo/$appstream_id.metainfo.xml"
check "the Debian changelog's entry is the package's" \
  bash -c "zcat '$usr/share/doc/zelk/changelog.Debian.gz' | head -n 1 | grep -qF 'zelk ($version-1)'"

echo "== validators"
check "appstreamcli validate passes" \
  appstreamcli validate --no-net --pedantic "$usr/share/metainfo/$appstream_id.metainfo.xml"
check "desktop-file-validate passes" \
  bash -c "out=\$(desktop-file-validate '$usr/share/applications/zelk.desktop' 2>&1); echo -n \"\$out\"; [ -z \"\$out\" ]"

# No path of the build or of the sources in the programs.
for program in bin/zelk libexec/zelk/zelk-desktop; do
  check "$program holds no path of the build or the sources" \
    bash -c "! strings -a '$usr/$program' | grep -F -e '$build' -e '$root'"
done

# --- The program, moved away from /usr and without /usr/share/doc --------------------------
echo "== the program without share/doc, away from /usr"
rm -rf "$usr/share/doc"
mkdir -p "$work/run" "$work/bin"
# A stand-in for xdg-open that writes down the address it was given.
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
printf '%s\n' "\$1" > "$work/opened"
EOF
chmod +x "$work/bin/xdg-open"
run_zelk() { (cd "$work/run" && env -u ZELK_HOME_URL PATH="$work/bin:/usr/bin:/bin" "$usr/bin/zelk" "$@"); }
check "zelk --version runs" run_zelk --version
out=$(run_zelk -c home 2>&1)
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
opened=$(cat "$work/opened" 2>/dev/null)
if [[ $opened == file://* ]]; then
  same "home opens the installed reference, found relative to the program" \
    "$opened" "file://$usr/share/zelk/zelk-reference.html"
else
  pass "home opens the configured home page ($opened)"
fi
same "a batch run that changes no setting leaves no options file" "$(ls -A "$work/run")" ""
out=$(cd "$work/run" && env ZELK_HOME_URL=https://zelk.example.org/ PATH=/nonexistent \
  "$usr/bin/zelk" -c home 2>&1)
same "home without a program to open pages says so" "$out" \
  "OK>home
Cannot open the page (no program to open web pages was found): https://zelk.example.org/"
out=$(cd "$work/run" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/zelk" 2>&1)
same "the window without a display says what to do, with status 2" "$?: $out" \
  "2: zelk: the desktop console needs a display (neither DISPLAY nor WAYLAND_DISPLAY is set); use -c or --batch to run the console without a window"
out=$(run_zelk --decompile missing.dat 2>&1)
same "a file error names the file and the reason" "$out" \
  "zelk: missing.dat: No such file or directory"

# --- The Qt plugins that the window loads are the declared dependencies' -------------------
echo "== Qt plugins of the window"
if have xvfb-run; then
  # In a directory of its own: the window writes its options file at its end.
  mkdir -p "$work/window"
  HOME=$work/home xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    cd "$1" || exit 1
    "$2/bin/zelk" & pid=$!
    for _ in $(seq 100); do
      grep -q "iconengines/libqsvgicon" "/proc/$pid/maps" 2>/dev/null && break
      sleep 0.1
    done
    sleep 1
    cat "/proc/$pid/maps" > "$3"
    kill "$pid"; wait "$pid"' _ "$work/window" "$usr" "$work/maps" >/dev/null 2>&1
  plugins=$(awk '{print $6}' "$work/maps" | grep '/qt6/plugins/' | sort -u)
  echo "$plugins"
  check "the toolbar's SVG icon engine is loaded" grep -q "iconengines/libqsvgicon" <<<"$plugins"
  for plugin in $plugins; do
    package=$(dpkg -S "$plugin" 2>/dev/null | head -n 1 | cut -d: -f1)
    check "$(basename "$plugin") comes from a declared dependency (${package:-no package})" \
      grep -Eq "(^|, )${package:-none}( |,|$)" <<<"$depends"
  done
else
  fail "xvfb-run (xvfb) is missing: the plugins of the window cannot be checked"
fi

# --- Editors -------------------------------------------------------------------------------
echo "== editors"
cp "$root/examples/intro.scr" "$work/run/intro.scr"
if have nvim; then
  (cd "$work/run" && XDG_DATA_DIRS="$usr/share" HOME=$work/home nvim --clean --headless \
    -c 'call writefile([&filetype, get(b:, "current_syntax", "")], "'"$work/nvim"'")' \
    -c 'qa!' intro.scr >/dev/null 2>&1)
  same "Neovim detects .scr files and highlights them from the package" \
    "$(tr '\n' ' ' <"$work/nvim" 2>/dev/null)" "zelkscript zelkscript "
  # The package's Neovim set-up starts the zelk beside it (found from its own place, not from
  # PATH) and shows its diagnostics.
  mkdir -p "$work/lsp"
  printf 'wait(1);\ngoto(nowhere);\n' >"$work/lsp/faulty.scr"
  (cd "$work/lsp" && XDG_DATA_DIRS="$usr/share" HOME=$work/home PATH=/usr/bin:/bin \
    nvim --clean --headless \
    -c 'lua vim.wait(10000, function() return #vim.diagnostic.get(0) > 0 end, 50)' \
    -c 'call writefile([v:lua.vim.diagnostic.get(0)[0].message], "'"$work/nvim-lsp"'")' \
    -c 'qa!' faulty.scr >/dev/null 2>&1)
  same "Neovim gets the diagnostics of the package's zelk --lsp" \
    "$(cat "$work/nvim-lsp" 2>/dev/null)" "goto: Label nowhere not found!"
else
  fail "nvim (neovim) is missing"
fi
if have emacs; then
  # The package's start-up file, as Debian's Emacs loads it, with the package's site-lisp on the
  # load path: .scr files get zelk-mode, as Windows-1252, and eglot knows the server.
  (cd "$work/run" && HOME=$work/home emacs --batch \
    --eval "(push \"$usr/share/emacs/site-lisp\" load-path)" \
    -l "$work/root/etc/emacs/site-start.d/50zelk.el" intro.scr --eval "(progn (require 'eglot)
      (write-region (format \"%s %s %S\" major-mode (coding-system-base buffer-file-coding-system)
                            (funcall (cdr (assoc '(zelk-mode :language-id \"zelkscript\")
                                                 eglot-server-programs))))
                    nil \"$work/emacs\"))" >/dev/null 2>&1)
  same "Emacs opens .scr files in zelk-mode as Windows-1252, with zelk --lsp for eglot" \
    "$(cat "$work/emacs" 2>/dev/null)" 'zelk-mode windows-1252 ("zelk" "--lsp")'
else
  fail "emacs (emacs-nox) is missing"
fi
if have kate-syntax-highlighter; then
  # The format trace names the attribute of every token.
  (cd "$work/run" && XDG_DATA_DIRS="$usr/share" kate-syntax-highlighter --output-format ansi \
    --syntax-trace format intro.scr >"$work/kate.txt" 2>"$work/kate.err")
  cat "$work/kate.err"
  check "Kate picks the definition by the file name and highlights statements and labels" \
    bash -c "grep -q 'Statement' '$work/kate.txt' && grep -q 'Label Name' '$work/kate.txt' &&
      [ ! -s '$work/kate.err' ]"
else
  fail "kate-syntax-highlighter (libkf5syntaxhighlighting-tools) is missing"
fi

# --- Shell completion ----------------------------------------------------------------------
echo "== completion"
# complete LINE: what bash offers for the last word of the line, one a line, sorted.
complete_line() {
  (cd "$work/run" && bash --norc -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_LINE=$2
    COMP_POINT=${#COMP_LINE}
    # The words as bash splits them for completion: "=" stands alone.
    read -r -a COMP_WORDS <<< "${COMP_LINE//=/ = }"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _zelk zelk "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    printf "%s\n" "${COMPREPLY[@]}" | sort' _ "$usr/share/bash-completion/completions/zelk" "$1")
}
touch "$work/run/a.dat" "$work/run/notes.txt"
options=$("$usr/bin/zelk" --help | grep -oE '^  (-[a-z], )?--?[a-z]+' | grep -oE -- '--?[a-z]+' |
  sort)
missing=$(comm -23 <(echo "$options") <(complete_line "zelk -"))
same "bash completes every option of --help" "$missing" ""
same "bash completes a long option" "$(complete_line "zelk --dec")" "--decompile"
same "bash completes compiled scripts after --decompile" "$(complete_line "zelk --decompile ")" \
  "a.dat"
same "bash completes compiled scripts after --decompile=" \
  "$(complete_line "zelk --decompile=")" "a.dat"
same "bash completes any file after --batch" "$(complete_line "zelk --batch ")" \
  "$(printf 'a.dat\nintro.scr\nnotes.txt')"
same "bash completes the console words after -c" "$(complete_line "zelk -c qu")" \
  "$(printf 'quake2\nquit')"
same "bash completes sources as the window's file" "$(complete_line "zelk ")" "intro.scr"
missing=""
for option in $options; do grep -q -- "$option" "$usr/share/zsh/vendor-completions/_zelk" || missing+=" $option"; done
same "the zsh completion names every option of --help" "$missing" ""
if have zsh; then
  check "the zsh completion parses" zsh -n "$usr/share/zsh/vendor-completions/_zelk"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
