// SPDX-License-Identifier: MIT
// The ZelkScript extension: starts the language server (zelk --lsp) for .scr files and compiles
// the current script through the server's command zelk.compile (which its code lens "Compile"
// runs too), or, while the server is not running, through a task whose errors the problem matcher
// "$zelk" reads.
'use strict';

const fs = require('fs');
const path = require('path');

// The program to start: the setting zelk.path where the user or the workspace set it; otherwise
// the zelk.exe that the Windows extension carries (bin/zelk.exe) when there is one; otherwise the
// setting's default, "zelk", found on PATH (CreateProcess finds zelk.exe for it on Windows).
function zelkProgram(setting, extensionPath, platform, exists = fs.existsSync) {
  const chosen = setting.workspaceFolderValue ?? setting.workspaceValue ?? setting.globalValue;
  if (typeof chosen === 'string' && chosen.trim() !== '') return chosen;
  const carried = path.join(extensionPath, 'bin', 'zelk.exe');
  if (platform === 'win32' && exists(carried)) return carried;
  return setting.defaultValue || 'zelk';
}

// The console compiles a script by its name in the load directory, typed as a user types it: in
// lower case, one word. So the script's folder is the start-up directory of the run, and the file
// name must survive that typing. Returns the arguments of zelk and its directory, or the reason
// why the file cannot be compiled.
function compileRun(filePath) {
  const file = path.basename(filePath);
  if (!/^[a-z0-9_.-]+\.scr$/.test(file)) {
    return {
      error: `the console compiles a script by a lower-case name of letters, digits, '_', '.' ` +
        `and '-', with the extension .scr: rename ${file} to compile it.`,
    };
  }
  return { args: ['-c', `compile ${file.slice(0, -'.scr'.length)}`], cwd: path.dirname(filePath) };
}

let client;

function activate(context) {
  const vscode = require('vscode');
  const { LanguageClient } = require('vscode-languageclient/node');
  const program = () =>
    zelkProgram(vscode.workspace.getConfiguration('zelk').inspect('path'),
                context.extensionPath, process.platform);

  const compile = async () => {
    const editor = vscode.window.activeTextEditor;
    if (!editor || editor.document.languageId !== 'zelkscript') {
      vscode.window.showErrorMessage('Zelk: open a ZelkScript source (.scr) to compile it.');
      return;
    }
    const document = editor.document;
    if (document.isUntitled || document.uri.scheme !== 'file') {
      vscode.window.showErrorMessage('Zelk: save the script as a .scr file to compile it.');
      return;
    }
    if (client && client.isRunning()) {
      if (document.isDirty && !(await document.save())) return;
      // The server shows how the compile went.
      await client.sendRequest('workspace/executeCommand',
                               { command: 'zelk.compile', arguments: [document.uri.toString()] });
      return;
    }
    const run = compileRun(document.uri.fsPath);
    if (run.error) {
      vscode.window.showErrorMessage(`Zelk: ${run.error}`);
      return;
    }
    if (document.isDirty && !(await document.save())) return;
    const task = new vscode.Task(
      { type: 'zelk', script: document.uri.fsPath },
      vscode.workspace.getWorkspaceFolder(document.uri) ?? vscode.TaskScope.Workspace,
      `compile ${path.basename(document.uri.fsPath)}`, 'zelk',
      new vscode.ProcessExecution(program(), run.args, { cwd: run.cwd }), '$zelk');
    await vscode.tasks.executeTask(task);
  };
  context.subscriptions.push(vscode.commands.registerCommand('zelk.compileCurrentScript', compile));

  const saveThenRun = async (command, args, next) => {
    if (command === 'zelk.compile' && typeof args[0] === 'string') {
      const open = vscode.workspace.textDocuments.find((d) => d.uri.toString() === args[0]);
      if (open && open.isDirty && !(await open.save())) return undefined;
    }
    return next(command, args);
  };

  const start = () => {
    const command = program();
    client = new LanguageClient('zelk', 'ZelkScript', { command, args: ['--lsp'] }, {
      documentSelector: [{ language: 'zelkscript' }],
      initializationOptions: {
        codeLens: vscode.workspace.getConfiguration('zelk').get('codeLens', true),
      },
      // The server follows changes of the zelk.* settings.
      synchronize: { configurationSection: 'zelk' },
      // The server compiles the saved file: the lens "Compile" saves the document first.
      middleware: { executeCommand: saveThenRun },
    });
    // Highlighting and the compile command work without the server.
    return client.start().catch((error) => {
      vscode.window.showErrorMessage(
        `Zelk: the language server (${command} --lsp) did not start: ${error.message}. ` +
        'Set zelk.path to the zelk program.');
    });
  };
  context.subscriptions.push(vscode.workspace.onDidChangeConfiguration(async (event) => {
    if (!event.affectsConfiguration('zelk.path')) return;
    const old = client;
    client = undefined;
    if (old) await old.stop().catch(() => {});
    await start();
  }));
  return start();
}

function deactivate() {
  return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate, zelkProgram, compileRun };
