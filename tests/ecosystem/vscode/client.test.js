// SPDX-License-Identifier: MIT
// The extension's own logic: which zelk it starts, how it compiles the current script, and the
// problem matcher "$zelk" against what the real zelk writes in batch mode and with --check.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { extension } = require('./support');

const { zelkProgram, compileRun } = require(path.join(extension, 'extension.js'));
const manifest = JSON.parse(fs.readFileSync(path.join(extension, 'package.json'), 'utf8'));
const zelk = process.env.ZELK_BINARY;

test('the program is zelk.path where set, else the carried zelk.exe on Windows, else zelk', () => {
  const unset = { defaultValue: 'zelk' };
  const carried = path.join('/ext', 'bin', 'zelk.exe');
  const exists = (file) => file === carried;
  assert.strictEqual(zelkProgram(unset, '/ext', 'linux', exists), 'zelk');
  assert.strictEqual(zelkProgram(unset, '/ext', 'win32', exists), carried);
  assert.strictEqual(zelkProgram(unset, '/ext', 'win32', () => false), 'zelk');
  assert.strictEqual(zelkProgram({ ...unset, globalValue: 'C:\\zelk\\zelk.exe' }, '/ext', 'win32',
                                 exists), 'C:\\zelk\\zelk.exe');
  assert.strictEqual(zelkProgram({ ...unset, globalValue: '/a', workspaceValue: '/b' }, '/ext',
                                 'linux', exists), '/b');
  assert.strictEqual(zelkProgram({ ...unset, globalValue: '  ' }, '/ext', 'win32', exists),
                     carried);
});

// What the matcher makes of each line that it matches, as VS Code reads the groups.
function problems(output) {
  const [matcher] = manifest.contributes.problemMatchers;
  const regexp = new RegExp(matcher.pattern.regexp);
  const p = matcher.pattern;
  return output.split('\n').map((line) => regexp.exec(line)).filter(Boolean)
    .map((m) => [m[p.file], Number(m[p.line]), m[p.column] ? Number(m[p.column]) : null,
                 m[p.severity], m[p.message]]);
}

test('the compile command runs zelk in the script\'s folder, and the matcher reads its errors', {
  skip: !zelk && 'ZELK_BINARY is not set',
}, () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zelk-vscode-'));
  try {
    fs.writeFileSync(path.join(dir, 'bad.scr'), 'wait(1);\nwait(2);\ngoto(nowhere);\n');
    const run = compileRun(path.join(dir, 'bad.scr'));
    assert.deepStrictEqual(run, { args: ['-c', 'compile bad'], cwd: dir });
    const batch = spawnSync(zelk, run.args, { cwd: run.cwd, encoding: 'utf8' });
    assert.strictEqual(batch.status, 1);
    assert.deepStrictEqual(problems(batch.stdout + batch.stderr),
                           [['bad.scr', 3, null, 'error', 'goto: Label nowhere not found!']]);
    assert.deepStrictEqual(fs.readdirSync(dir).sort(), ['bad.dat', 'bad.scr'],
                           'the run writes the compiled script and no zelk.cfg');

    const check = spawnSync(zelk, ['--check', 'bad.scr'], { cwd: dir, encoding: 'utf8' });
    assert.deepStrictEqual(problems(check.stdout).filter((p) => p[3] === 'error'),
                           [['bad.scr', 3, 6, 'error', 'goto: Label nowhere not found!']]);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
  for (const name of ['Intro.scr', 'my scene.scr', 'intro.txt']) {
    assert.match(compileRun(path.join('/s', name)).error, /rename .* to compile it/, name);
  }
});
