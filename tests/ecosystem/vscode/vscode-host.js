// SPDX-License-Identifier: MIT
// A stand-in for VS Code's extension host, for the extension's test without VS Code: loads the
// extension folder given, with a `vscode` module that records what the extension and its
// language client do (the commands and language features they register, the diagnostics they
// set, the messages they show) and otherwise answers every call with an inert object. One open
// ZelkScript document (ZELK_DOCUMENT, a file) is in the workspace. Activates the extension,
// waits for the diagnostics of the document, deactivates it, and writes what it saw as JSON.
//
//   ZELK_PROGRAM=zelk ZELK_DOCUMENT=scene.scr node vscode-host.js EXTENSION_DIR
'use strict';

const fs = require('fs');
const Module = require('module');
const path = require('path');

const seen = { commands: [], features: [], diagnostics: null, errors: [], output: [] };

// Any property is another inert object, any call or `new` gives one; none is a promise.
function inert() {
  const cache = new Map();
  return new Proxy(function () {}, {
    get(target, key) {
      if (key === 'then') return undefined;
      if (key === Symbol.iterator) return function* () {};
      if (key === Symbol.toPrimitive) return () => '';
      if (!cache.has(key)) cache.set(key, inert());
      return cache.get(key);
    },
    apply: () => inert(),
    construct: () => inert(),
  });
}
// An object of the given members whose other members are inert.
function partly(members) {
  const rest = inert();
  return new Proxy(members, { get: (t, key) => (key in t ? t[key] : rest[key]) });
}
const disposable = () => partly({ dispose() {} });

class Position { constructor(line, character) { Object.assign(this, { line, character }); } }
class Range {
  constructor(a, b, c, d) {
    const ends = a instanceof Position ? [a, b] : [new Position(a, b), new Position(c, d)];
    Object.assign(this, { start: ends[0], end: ends[1] });
  }
}
class Diagnostic {
  constructor(range, message, severity) { Object.assign(this, { range, message, severity }); }
}
class CancellationTokenSource {
  constructor() {
    this.token = { isCancellationRequested: false, onCancellationRequested: disposable };
  }
  cancel() { this.token.isCancellationRequested = true; }
  dispose() {}
}
const Uri = {
  parse: (text) => partly({ toString: () => text, scheme: text.split(':')[0],
                            fsPath: decodeURIComponent(text.replace(/^file:\/\//, '')) }),
  file: (file) => Uri.parse(`file://${encodeURI(file)}`),
};

const file = path.resolve(process.env.ZELK_DOCUMENT);
const document = partly({
  uri: Uri.file(file), fileName: file, languageId: 'zelkscript', version: 1, isClosed: false,
  getText: () => new TextDecoder('windows-1252').decode(fs.readFileSync(file)),
});
const register = (feature) => (...args) => { seen.features.push(feature); return disposable(); };
const api = {
  version: '1.90.0',
  env: partly({ appName: 'stand-in', language: 'en' }),
  Position, Range, Diagnostic, CancellationTokenSource, Uri,
  DiagnosticSeverity: { Error: 0, Warning: 1, Information: 2, Hint: 3 },
  commands: partly({ registerCommand: (id) => { seen.commands.push(id); return disposable(); } }),
  workspace: partly({
    textDocuments: [document],
    workspaceFolders: undefined,
    getConfiguration: () => partly({
      inspect: () => ({ defaultValue: process.env.ZELK_PROGRAM }), get: (key, value) => value }),
  }),
  window: partly({
    createOutputChannel: () => partly({ append: (t) => seen.output.push(t),
                                        appendLine: (t) => seen.output.push(t) }),
    showErrorMessage: (message) => { seen.errors.push(message); return Promise.resolve(); },
  }),
  languages: partly({
    match: (selector, d) => (d.languageId === 'zelkscript' ? 10 : 0),
    createDiagnosticCollection: () => partly({
      set: (uri, list) => {
        seen.diagnostics = list.map((d) => [d.range.start.line, d.severity, d.message]);
      },
    }),
  }),
};
for (const feature of ['CompletionItem', 'Hover', 'Definition', 'Reference', 'DocumentSymbol',
                       'Rename', 'SignatureHelp', 'InlayHints', 'CodeActions',
                       'DocumentFormattingEdit', 'DocumentRangeFormattingEdit', 'FoldingRange',
                       'DocumentHighlight', 'DocumentSemanticTokens', 'WorkspaceSymbol',
                       'CodeLens']) {
  api.languages[`register${feature}Provider`] = register(feature);
}
const vscode = partly(api);
const load = Module._load;
Module._load = function (request, ...rest) {
  return request === 'vscode' ? vscode : load.call(this, request, ...rest);
};

async function main() {
  const extensionDir = path.resolve(process.argv[2]);
  const extension = require(path.join(extensionDir, 'extension.js'));
  await extension.activate({ subscriptions: [], extensionPath: extensionDir,
                             asAbsolutePath: (p) => path.join(extensionDir, p) });
  const deadline = Date.now() + 20000;
  while (seen.diagnostics === null && Date.now() < deadline) {
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
  await extension.deactivate();
  process.stdout.write(JSON.stringify(seen));
}
main().catch((error) => {
  seen.errors.push(String(error && error.stack || error));
  process.stdout.write(JSON.stringify(seen));
});
