// SPDX-License-Identifier: MIT
// vsce packs the extension as the target vscode-extension does (cmake/PackVscodeExtension.cmake),
// for every platform and for win32-x64 with a zelk.exe (any .exe file stands in for it); the
// packages hold the extension: its manifest with the build's version, the client and its npm
// packages, the grammar of the build, and on Windows the program; the packed extension runs its
// client against zelk --lsp in a stand-in of VS Code's host (vscode-host.js).
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const zlib = require('zlib');
const { root, extension, build, requireInstalled } = require('./support');

requireInstalled();
const version = process.env.ZELK_VERSION;
const zelk = process.env.ZELK_BINARY;
const grammar = path.join(build, 'editors', 'zelkscript.tmLanguage.json');

// The files of a zip archive, by name, read through its central directory.
function unzip(file) {
  const zip = fs.readFileSync(file);
  const end = zip.lastIndexOf(Buffer.from([0x50, 0x4b, 0x05, 0x06]));
  assert.ok(end >= 0, `${file} is not a zip archive`);
  const files = new Map();
  let at = zip.readUInt32LE(end + 16);
  for (let n = zip.readUInt16LE(end + 10); n > 0; --n) {
    const method = zip.readUInt16LE(at + 10);
    const size = zip.readUInt32LE(at + 20);
    const nameLength = zip.readUInt16LE(at + 28);
    const skip = nameLength + zip.readUInt16LE(at + 30) + zip.readUInt16LE(at + 32);
    const local = zip.readUInt32LE(at + 42);
    const name = zip.toString('utf8', at + 46, at + 46 + nameLength);
    const data = local + 30 + zip.readUInt16LE(local + 26) + zip.readUInt16LE(local + 28);
    const raw = zip.subarray(data, data + size);
    files.set(name, method === 8 ? zlib.inflateRawSync(raw) : raw);
    at += 46 + skip;
  }
  return files;
}

function pack(dir, out, ...extra) {
  return spawnSync(process.env.ZELK_CMAKE || 'cmake', [
    `-DSOURCE=${extension}`, `-DGRAMMAR=${grammar}`, `-DLICENSE=${path.join(root, 'LICENSE')}`,
    `-DVERSION=${version}`, `-DSTAGE=${path.join(dir, 'stage')}`, `-DOUT=${out}`, ...extra,
    '-P', path.join(root, 'cmake', 'PackVscodeExtension.cmake')], { encoding: 'utf8' });
}

test('vsce packs the extension for every platform and for win32-x64 with zelk.exe', {
  skip: !version && 'ZELK_VERSION is not set',
}, () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zelk-vsix-'));
  try {
    const vsix = path.join(dir, `zelk-${version}.vsix`);
    let run = pack(dir, vsix);
    assert.strictEqual(run.status, 0, run.stdout + run.stderr);
    const files = unzip(vsix);
    const manifest = JSON.parse(files.get('extension/package.json'));
    assert.strictEqual(manifest.version, version);
    const c = manifest.contributes;
    assert.deepStrictEqual(c.languages.map((l) => [l.id, l.extensions]),
                           [['zelkscript', ['.scr']]]);
    assert.deepStrictEqual(c.configurationDefaults,
                           { '[zelkscript]': { 'files.encoding': 'windows1252' } });
    assert.strictEqual(c.configuration.properties['zelk.path'].default, 'zelk');
    assert.deepStrictEqual(c.commands.map((k) => `${k.category}: ${k.title}`),
                           ['Zelk: Compile Current Script']);
    assert.deepStrictEqual(files.get('extension/syntaxes/zelkscript.tmLanguage.json'),
                           fs.readFileSync(grammar));
    const configuration =
      JSON.parse(files.get(`extension/${c.languages[0].configuration.slice(2)}`));
    assert.strictEqual(configuration.comments.lineComment, '//');
    for (const name of ['extension/extension.js', 'extension/LICENSE.txt',
                        'extension/node_modules/vscode-languageclient/node.js',
                        'extension/node_modules/vscode-jsonrpc/lib/node/main.js']) {
      assert.ok(files.has(name), `${name} is not in the package`);
    }
    const names = [...files.keys()];
    assert.deepStrictEqual(names.filter((n) => /vsce|vscode-textmate|bin\/zelk/.test(n)), [],
                           'the package carries only what the extension runs');
    assert.match(files.get('extension.vsixmanifest').toString(),
                 new RegExp(`Version="${version}"`));
    // The client loads from the package alone (with a stand-in for VS Code's own module).
    const unpacked = path.join(dir, 'unpacked');
    for (const [name, data] of files) {
      fs.mkdirSync(path.dirname(path.join(unpacked, name)), { recursive: true });
      if (!name.endsWith('/')) fs.writeFileSync(path.join(unpacked, name), data);
    }
    const load = spawnSync(process.execPath, ['-e', `
      const Module = require('module');
      const load = Module._load;
      const stub = new Proxy(function () {}, { get: (t, key) => key === 'prototype' ? {} : stub });
      Module._load = function (request, ...rest) {
        return request === 'vscode' ? stub : load.call(this, request, ...rest);
      };
      const { LanguageClient } = require('vscode-languageclient/node');
      const { activate } = require('./extension.js');
      process.stdout.write(typeof LanguageClient + ' ' + typeof activate);`],
    { cwd: path.join(unpacked, 'extension'), encoding: 'utf8' });
    assert.strictEqual(load.stdout, 'function function', load.stderr);
    if (zelk) {
      // In a stand-in of VS Code's host, the packed extension starts zelk --lsp (zelk.path's
      // default, here a script that notes how zelk ended), registers what the server offers,
      // shows the diagnostics of an open script and stops the server on deactivation.
      const noted = path.join(dir, 'status');
      const program = path.join(dir, 'zelk-noting-status');
      fs.writeFileSync(program, `#!/bin/sh\n"${zelk}" "$@"\necho $? > "${noted}"\n`,
                       { mode: 0o755 });
      const scene = path.join(dir, 'scene.scr');
      const source = 'label@start;\nsay("caf\xe9", 1, attn_norm);\ngoto(nowhere);\n';
      fs.writeFileSync(scene, Buffer.from(source, 'latin1'));
      const host = spawnSync(process.execPath, [path.join(__dirname, 'vscode-host.js'),
                                                path.join(unpacked, 'extension')],
                             { env: { ...process.env, ZELK_PROGRAM: program, ZELK_DOCUMENT: scene },
                               encoding: 'utf8', timeout: 60000 });
      const seen = JSON.parse(host.stdout || '{}');
      assert.deepStrictEqual(seen.errors, [], host.stderr);
      // zelk.compile, the server's command, is registered by the client.
      assert.deepStrictEqual(seen.commands, ['zelk.compileCurrentScript', 'zelk.compile']);
      for (const feature of ['CompletionItem', 'Hover', 'Definition', 'Reference', 'DocumentSymbol',
                             'Rename', 'CodeActions', 'CodeLens']) {
        assert.ok(seen.features.includes(feature), `${feature} is not registered`);
      }
      assert.deepStrictEqual(seen.diagnostics.filter((d) => d[1] === 0),
                             [[2, 0, 'goto: Label nowhere not found!']]);
      assert.strictEqual(fs.readFileSync(noted, 'utf8'), '0\n', 'zelk --lsp ended with status 0');
    }

    const exe = path.join(dir, 'stand-in.exe');
    fs.writeFileSync(exe, 'MZ: any program');
    const win32 = path.join(dir, `zelk-win32-x64-${version}.vsix`);
    run = pack(dir, win32, '-DPLATFORM=win32-x64', `-DEXE=${exe}`);
    assert.strictEqual(run.status, 0, run.stdout + run.stderr);
    const windows = unzip(win32);
    assert.deepStrictEqual(windows.get('extension/bin/zelk.exe'), fs.readFileSync(exe));
    assert.match(windows.get('extension.vsixmanifest').toString(), /TargetPlatform="win32-x64"/);

    fs.writeFileSync(path.join(dir, 'zelk'), '');
    run = pack(dir, path.join(dir, 'x.vsix'), '-DPLATFORM=win32-x64',
               `-DEXE=${path.join(dir, 'zelk')}`);
    assert.notStrictEqual(run.status, 0);
    assert.match(run.stderr.replace(/\s+/g, ' '),
                 /The win32-x64 extension carries zelk\.exe: '.*zelk' is not an \.exe file\./);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
