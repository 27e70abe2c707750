#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Writes the hand-made seed inputs of the harnesses into fuzz/corpus/<harness>/. The seeds of
# DecompileFuzzer are compiled by the zelk binary given as the first argument; run it once after
# a change of the language. Entries that the fuzzers found themselves sit beside these.
set -euo pipefail

zelk=${1:?usage: make-seeds.sh path/to/zelk}
zelk=$(realpath "$zelk")
here=$(cd "$(dirname "$0")" && pwd)
corpus=$here/corpus
examples=$here/../examples

seed() {  # seed <harness> <name> <bytes as printf format>
  mkdir -p "$corpus/$1"
  printf "$3" > "$corpus/$1/seed-$2"
}

# One well-formed line of every table entry, and the parser's edge cases.
lines=(
  'goto(start);' 'sv_color 170' 'wait(1.5);' 'move_to("door1", <0, 0, 64>);'
  'sv_quake2_dir = "c:\\quake2";' 'god' 'map base1' 'cheats' 'disconnect' 'give_all' 'notarget'
  'sv_params = "+set x %%d";' 'game ctf' 'deathmatch -1' 'video 3' 'sv_load_dir = "/tmp";'
  'sv_save_dir = "";' 'compile intro' 'say("w\\nav", 0.8, attn_static);' 'walk(.activator);'
  'sv_editor = "vi";' 'run(p1);' 'reserved' 'die(5);' 'drop(1, -2);' 'take("t", f, 2.5);'
  'remove("t");' 'hide("t");' 'chase("t");' 'on_block(.client, top, 1);' 'on_use(.activator, fight);'
  'action_target(3, .activator);' 'hammer("t", 20);' 'attack(.activator, 20);'
  'spawn(monster_soldier, guard1, <0, 0, 24>, 1);' 'start(top);' 'on_touch(.none, top, 2);'
  'on_see(.client, top, 1.0, 512);' 'on_pain(x, top, .5, 5.);' 'label@start;' 'return;'
  'look_at(x);' 'action(3);' 'stand;' 'use(door, .self);' 'chill(.5);' 'stop;' 'camera(1, 0.25);'
  'script;' 'run_slave(a, b);' 'target_camera(a);' 'rotate_camera(a, 128.0);' 'rotate([0, 90, 0>);'
  'rotate_slave(a, <1, 2, 3>);' 'look_at_slave(a, b);' 'action_slave(a, 2);' 'stand_slave(a);'
  'say_slave(a, "w.wav", 1);' 'load_map(base1);' 'stuffcmd("echo hi");' 'listen;' 'credits;'
  'goto ( start ) ; junk' 'goto(start)' 'Goto(start);' 'wait();' 'wait(.);' 'die();'
  'rotate(<0, 90, 0]);' 'rotate(' 'say("unclosed' 'sv_color 99999999999'
)
i=0
for line in "${lines[@]}"; do
  seed ParseStatementFuzzer "$(printf %02d $i)" "$line"
  i=$((i + 1))
done

# Sources: the examples, and small ones that reach the error paths and the translations.
mkdir -p "$corpus/CompileFuzzer"
for f in "$examples"/*.scr; do cp "$f" "$corpus/CompileFuzzer/seed-$(basename "$f")"; done
seed CompileFuzzer empty ''
seed CompileFuzzer labels 'label@a;\nlabel@b;\nstand;\ngoto(b);\nlabel@end;\nstart(end);\n'
seed CompileFuzzer crlf 'stand;\r\n\tstop;\r\n// comment\r\nsay("a//b", 1, attn_none); // c\n'
seed CompileFuzzer settings 'god\nsv_load_dir = "x";\ndeathmatch 2\nstand;\ncompile other\n'
seed CompileFuzzer intercepts 'label@l;\non_use(a, l);\non_use(a, l);\non_use(b, .none);\nuse(d, .activator);\nattack(.activator, 5);\nspawn(e, .none, <1, 2, 3>, 4);\n'
seed CompileFuzzer errors 'stand;\nwait(1)\n'
seed CompileFuzzer reals 'wait(0.1);\nwait(-0.0);\nwait(340282356779733661637539395458142568448);\nrotate(<.000000000000000000000000000000000000000000001, 1., -5>);\n'
# The flow harness reads sources too: the same seeds.
mkdir -p "$corpus/FlowFuzzer"
cp "$corpus/CompileFuzzer"/seed-* "$corpus/FlowFuzzer/"

# The formatter reads sources too: the same seeds, and lines in every spacing.
mkdir -p "$corpus/FormatFuzzer"
cp "$corpus/CompileFuzzer"/seed-* "$corpus/FormatFuzzer/"
seed FormatFuzzer untidy ' label @ top ;\r\n\tsay ( "a\tb" ,1 ,attn_norm ) ; // x\nrotate( [ 0,+1. , -.5 > ) ;\nsv_load_dir   ="/l";\nmap    base1   // m\nreturn ;\nsv_color+3\nwait( );\nGoto ( top );\nwait (1)\ngoto( top );'

# Options files: empty, short, whole, too long, texts without their zero byte.
mkdir -p "$corpus/OptionsFileFuzzer"
python3 - "$corpus/OptionsFileFuzzer" <<'EOF'
import struct, sys, os
out = sys.argv[1]
def text(s): return s.encode('cp1252').ljust(256, b'\0')
def image(spare=0, texts=('c:\\quake2\\', '+set x', 'base1', 'ctf'), ints=(1, 0, 1, 0, 3, 1, 2),
          texts2=('/save\\', '/load\\', 'vi'), sound=1):
    b = struct.pack('<i', spare) + b''.join(text(t) for t in texts)
    b += struct.pack('<7i', *ints) + b''.join(text(t) for t in texts2) + struct.pack('<i', sound)
    assert len(b) == 1828
    return b
seeds = {
    'empty': b'\0',
    'short100': b'\1' + image()[:100],
    'whole': b'\0' + image(),
    'upper': b'\2' + image(spare=-7),
    'long': b'\3' + image() + b'extra bytes',
    'unterminated': b'\0' + struct.pack('<i', 5) + b'A' * 1824,
    'high': b'\1' + bytes(range(256)) * 8,
}
for name, data in seeds.items():
    open(os.path.join(out, 'seed-' + name), 'wb').write(data)
EOF

# Path texts: settings as users write them, both separators, long and UNC paths, the long-path
# form itself, letters of the code page and a NUL that ends the text.
mkdir -p "$corpus/HostPathFuzzer"
python3 - "$corpus/HostPathFuzzer" <<'EOF'
import os, sys
out = sys.argv[1]
seeds = {
    'quake2': b'c:\\quake2\\', 'posix': b'/home/me/scripts\\intro.scr', 'mixed': b'D:/out/\\',
    'relative': b'..\\scenes\\', 'letters': b'c:\\caf\xe9\\\x80\xa4\x81.scr',
    'long': b'C:\\' + b'\\'.join([b'a' * 50] * 6) + b'\\scene.scr',
    'unc': b'\\\\server\\share\\' + b'b' * 260, 'dots': b'C:\\' + b'c' * 250 + b'\\..\\x',
    'prefixed': b'\\\\?\\C:\\' + b'd' * 250, 'nul': b'/tmp/a\0/b\\c',
}
for name, data in seeds.items():
    open(os.path.join(out, 'seed-' + name), 'wb').write(data)
EOF

# Compiled files, made by compiling the compile seeds; and a few that must be refused.
mkdir -p "$corpus/DecompileFuzzer"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "$corpus/CompileFuzzer"/seed-*; do
  name=$(basename "$f" | tr -c 'a-zA-Z0-9\n' '_')
  cp "$f" "$work/$name.scr"
  (cd "$work" && "$zelk" -c "compile $name" > /dev/null 2>&1) || true
  if [ -f "$work/$name.dat" ]; then cp "$work/$name.dat" "$corpus/DecompileFuzzer/seed-$name"; fi
done
seed DecompileFuzzer short '\001\000\000'
seed DecompileFuzzer count-too-big '\001\000\000\000\000\000\000\000'

# Console sessions: typed lines ended by Enter (13), Tab (9) and Backspace (8); a 0 byte
# followed by a selector runs a menu command or a paint (see ConsoleFuzzer.cpp).
seed ConsoleFuzzer version 'Version\r'
seed ConsoleFuzzer quotes 'say("ABC" DEF\b\b\b\b"\rgod\t'
seed ConsoleFuzzer compile 'sv_load_dir = "/load";\rsv_save_dir = "/save";\rcompile a\r\000\017'
seed ConsoleFuzzer paint '\000\001status\r\000\371cmdlist\rcmdlist\r\000\002\000\003'
seed ConsoleFuzzer menus '\000\004\000\005\000\006\000\007clear\r\000\011'
seed ConsoleFuzzer nul 'ab\000\000cd\000\001ef\r'
python3 -c "import sys; sys.stdout.buffer.write(b'x' * 300 + b'\r' + b'\b' * 10 + b'\x1b\n\r')" \
  > "$corpus/ConsoleFuzzer/seed-full-line"
python3 -c "import sys; sys.stdout.buffer.write(b'god\r' * 60 + b'\x00\x29' + b'version\r' * 20)" \
  > "$corpus/ConsoleFuzzer/seed-scroll"

# Language server: a framed session with broken headers (0), message bodies separated by NUL
# bytes (1), a document and its edits (2), requests on a document (3); see LspFuzzer.cpp.
mkdir -p "$corpus/LspFuzzer"
python3 - "$corpus/LspFuzzer" <<'EOF'
import json, os, sys
out = sys.argv[1]
uri = 'file:///s.scr'
scene = ('label@start;\nsay("\U0001F600.wav", 1, attn_norm);\nwalk(.activator);\ngoto(start);\n'
         'on_use(player, greet);\nlabel@greet;\nwait(1)\ndie();\ncompile x\r\nGoto(\u00e9);\ngoto(st')
def msg(method, params=None, id=None):
    m = {'jsonrpc': '2.0', 'method': method}
    if id is not None: m['id'] = id
    if params is not None: m['params'] = params
    return json.dumps(m)
def at(line, ch, **extra):
    return dict({'textDocument': {'uri': uri}, 'position': {'line': line, 'character': ch}}, **extra)
def span(a, b, c, d): return {'start': {'line': a, 'character': b}, 'end': {'line': c, 'character': d}}
bodies = [
    msg('textDocument/didOpen', {'textDocument': {'uri': uri, 'languageId': 'zelkscript', 'version': 1, 'text': scene}}),
    msg('textDocument/didChange', {'textDocument': {'uri': uri, 'version': 2}, 'contentChanges': [
        {'range': span(1, 17, 1, 26), 'text': 'loud'}, {'range': span(9, 0, 99, 0), 'text': 'goto(greet);\n'}]}),
    msg('textDocument/completion', at(10, 5), 1), msg('textDocument/completion', at(2, 5), 2),
    msg('textDocument/hover', at(0, 8), 3), msg('textDocument/hover', at(2, 1), 4),
    msg('textDocument/definition', at(3, 6), 5),
    msg('textDocument/references', at(0, 8, context={'includeDeclaration': True}), 6),
    msg('textDocument/documentSymbol', {'textDocument': {'uri': uri}}, 7),
    msg('textDocument/prepareRename', at(3, 6), 8), msg('textDocument/rename', at(3, 6, newName='begin'), 9),
    msg('textDocument/signatureHelp', at(1, 20), 12), msg('textDocument/documentHighlight', at(3, 1), 13),
    msg('textDocument/inlayHint', {'textDocument': {'uri': uri}, 'range': span(0, 0, 99, 0)}, 14),
    msg('textDocument/foldingRange', {'textDocument': {'uri': uri}}, 15), msg('workspace/symbol', {'query': 'g'}, 16),
    msg('workspace/didChangeConfiguration', {'settings': {'zelk': {'inlayHints': {'argumentNames': False}}}}),
    msg('textDocument/didSave', {'textDocument': {'uri': uri}}),
    '{oops', '[1, 2]', '{"jsonrpc":"2.0","id":[1],"method":"x"}', msg('zelk/unknown', {}, 10),
    msg('textDocument/didClose', {'textDocument': {'uri': uri}}), msg('shutdown', None, 11), msg('exit'),
]
def frame(b): return b'Content-Length: %d\r\n\r\n' % len(b.encode()) + b.encode()
stream = b''.join(frame(b) for b in bodies[:8]) + b'Content-Length: x\r\n\r\n{}' + frame(bodies[8]) \
    + b'Content-Length: 5\r\n\r\n{"jsonrpc"' + b'garbage\r\n' + frame(bodies[9]) + b'Content-Length: 99999999999\r\n\r\n'
open(os.path.join(out, 'seed-stream'), 'wb').write(b'\0\7' + stream)
open(os.path.join(out, 'seed-bodies'), 'wb').write(b'\1' + b'\0'.join(b.encode() for b in bodies))
text = 'label@a;\r\ngoto(a);\n\u00e9\U0001F600\rwait(1);\n'.encode()
edits = b''.join(bytes([enc, l1, c1, l2, c2, len(t)]) + t for enc, l1, c1, l2, c2, t in [
    (0, 1, 5, 1, 6, b'b'), (1, 2, 2, 2, 6, b'label@b;\n'), (0, 0, 6, 0, 7, b'\xc3\xa9'),
    (1, 9, 0, 9, 0, b'on_use(x, b);'), (0, 3, 0, 0, 3, b'')])
open(os.path.join(out, 'seed-edits'), 'wb').write(b'\2' + bytes([len(text)]) + text + edits)
# Requests on a document (3): a method byte, then its positions, ranges or edit.
asks = bytes([0, 1, 7, 0, 3, 12, 1, 0, 0, 20, 0, 2, 3, 3, 1, 4, 2, 5, 5, 0, 8, 6, 7, 0, 0, 5, 0,
              9, 0, 1, 8, 1, 0, 1, 0, 9]) + b'wait(1);\n' + bytes([9, 1, 1, 9, 1, 0, 11, 0, 0, 9, 0,
                                                                   12, 13])
for enc in (0, 1):
    open(os.path.join(out, 'seed-requests-%d' % enc), 'wb').write(
        b'\3' + bytes([enc]) + scene.encode() + b'\0' + asks)
EOF
