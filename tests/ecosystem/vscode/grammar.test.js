// SPDX-License-Identifier: MIT
// The grammar that the extension carries, run by the engine VS Code uses (vscode-textmate with
// Oniguruma) over the examples: every token with its scopes, as golden files record them
// (golden/NAME.tokens). ZELK_RECORD=1 writes the golden files anew; read the diff.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('fs');
const path = require('path');
const { root, build, requireInstalled, npmPackage } = require('./support');

requireInstalled();
const textmate = npmPackage('vscode-textmate');
const oniguruma = npmPackage('vscode-oniguruma');

const grammarFile = path.join(build, 'editors', 'zelkscript.tmLanguage.json');
const examples = path.join(root, 'examples');
const golden = path.join(__dirname, 'golden');

async function loadGrammar() {
  const wasm = fs.readFileSync(path.join(path.dirname(require.resolve(
    path.join(root, 'editors', 'vscode', 'node_modules', 'vscode-oniguruma'))), 'onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.length));
  const registry = new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (sources) => new oniguruma.OnigScanner(sources),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scope) => scope === 'source.zelkscript'
      ? textmate.parseRawGrammar(fs.readFileSync(grammarFile, 'utf8'), grammarFile)
      : null,
  });
  return registry.loadGrammar('source.zelkscript');
}

// One line per token: LINE:FROM-TO, the token's text as JSON, its scopes below the file's.
function tokenize(grammar, text) {
  const out = [];
  let state = textmate.INITIAL;
  text.split(/\r?\n/).forEach((line, index) => {
    const result = grammar.tokenizeLine(line, state);
    for (const token of result.tokens) {
      const part = line.slice(token.startIndex, token.endIndex);
      if (part.trim() === '' && token.scopes.length === 1) continue;
      const scopes = token.scopes.slice(1).join(' ') || '-';
      const place = `${index + 1}:${token.startIndex + 1}-${token.endIndex}`;
      out.push(`${place} ${JSON.stringify(part)} ${scopes}`);
    }
    state = result.ruleStack;
  });
  return out.join('\n') + '\n';
}

test('the grammar tokenizes every example as its golden file says', async () => {
  const grammar = await loadGrammar();
  assert.ok(grammar, 'the grammar did not load');
  const sources = fs.readdirSync(examples).filter((f) => f.endsWith('.scr')).sort();
  assert.ok(sources.length >= 3, 'the examples are missing');
  // The sources are Windows-1252 bytes, as VS Code reads them with files.encoding windows1252.
  const decoder = new TextDecoder('windows-1252');
  for (const source of sources) {
    const tokens = tokenize(grammar, decoder.decode(fs.readFileSync(path.join(examples, source))));
    const file = path.join(golden, source.replace(/\.scr$/, '.tokens'));
    if (process.env.ZELK_RECORD === '1') fs.writeFileSync(file, tokens);
    assert.ok(fs.existsSync(file), `${file} is missing: record it with ZELK_RECORD=1`);
    assert.strictEqual(tokens, fs.readFileSync(file, 'utf8'), `the tokens of ${source}`);
  }
});
