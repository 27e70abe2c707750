-- SPDX-License-Identifier: MIT
-- Drives Neovim, headless, on the ZelkScript source it was started with, through the installed
-- configuration: waits for the language server's diagnostics, asks for completion and hover,
-- jumps to a definition as a user does, fixes a line and waits for its error to go, formats, takes
-- a quick fix, saves and compiles through the code lens. Writes what it saw as JSON to
-- g:zelk_test_result and quits.
local result = {}

local function clients(bufnr)
  if vim.lsp.get_clients then
    return vim.lsp.get_clients({ bufnr = bufnr })
  end
  return vim.lsp.buf_get_clients(bufnr)
end

-- Whether the server tagged a diagnostic "unnecessary" (Neovim greys those out).
local function unnecessary(d)
  if d._tags ~= nil and d._tags.unnecessary then return true end
  local lsp = d.user_data and d.user_data.lsp
  return lsp ~= nil and lsp.tags ~= nil and vim.tbl_contains(lsp.tags, 1)
end

local function diagnostics(bufnr)
  local list = {}
  for _, d in ipairs(vim.diagnostic.get(bufnr)) do
    table.insert(list, { line = d.lnum + 1, col = d.col, end_col = d.end_col,
                         severity = d.severity, message = d.message,
                         unnecessary = unnecessary(d) })
  end
  table.sort(list, function(a, b)
    if a.line ~= b.line then return a.line < b.line end
    return a.severity < b.severity
  end)
  return list
end

local function ask(bufnr, method, line, character)
  local params = {
    textDocument = { uri = vim.uri_from_bufnr(bufnr) },
    position = { line = line - 1, character = character },
  }
  for _, answer in pairs(vim.lsp.buf_request_sync(bufnr, method, params, 10000) or {}) do
    if answer.result ~= nil then
      return answer.result
    end
  end
  return {}
end

local ok, err = pcall(function()
  local bufnr = vim.api.nvim_get_current_buf()
  result.filetype = vim.bo[bufnr].filetype
  result.attached = vim.wait(10000, function() return next(clients(bufnr)) ~= nil end, 20)
  vim.wait(10000, function() return #vim.diagnostic.get(bufnr) > 0 end, 20)
  result.diagnostics = diagnostics(bufnr)

  local completion = ask(bufnr, 'textDocument/completion', 5, 5)
  result.completion = {}
  for _, item in ipairs(completion.items or completion) do
    table.insert(result.completion, item.label)
  end
  local hover = ask(bufnr, 'textDocument/hover', 2, 1)
  result.hover = hover.contents and hover.contents.value or vim.NIL

  local signature = ask(bufnr, 'textDocument/signatureHelp', 4, 17)
  result.signature = signature.signatures and
      { signature.signatures[1].label, signature.activeParameter } or vim.NIL
  result.highlights = {}
  for _, h in ipairs(ask(bufnr, 'textDocument/documentHighlight', 5, 6)) do
    table.insert(result.highlights, { h.range.start.line + 1, h.range.start.character, h.kind })
  end

  -- On the label of the goto on line 5, as a user jumps.
  vim.api.nvim_win_set_cursor(0, { 5, 6 })
  vim.lsp.buf.definition()
  vim.wait(10000, function() return vim.api.nvim_win_get_cursor(0)[1] ~= 5 end, 20)
  result.definition = vim.api.nvim_win_get_cursor(0)

  -- Typing fixes line 3: its error goes.
  vim.api.nvim_buf_set_lines(bufnr, 2, 3, false, { 'die(1);' })
  vim.wait(10000, function() return #vim.diagnostic.get(bufnr) < #result.diagnostics end, 20)
  result.after_edit = diagnostics(bufnr)

  -- Formatting the buffer respaces an untidy line (Neovim before 0.8 names it formatting_sync).
  vim.api.nvim_buf_set_lines(bufnr, 3, 4, false, { '  say ( "a.wav",1 ,attn_norm ) ; // hi' })
  if vim.lsp.buf.format then
    vim.lsp.buf.format({ timeout_ms = 10000 })
  else
    vim.lsp.buf.formatting_sync(nil, 10000)
  end
  result.formatted = vim.api.nvim_buf_get_lines(bufnr, 3, 4, false)[1]

  -- The menus of code actions and lenses answer with the entry of the title wanted.
  local wanted
  vim.ui.select = function(items, opts, on_choice)
    for _, item in ipairs(items) do
      if opts.format_item(item) == wanted then return on_choice(item) end
    end
    on_choice(nil)
  end
  -- The quick fix of the goto on line 6 that adds its label.
  wanted = 'add label@nowhere;'
  vim.api.nvim_win_set_cursor(0, { 6, 6 })
  vim.lsp.buf.code_action()
  local function last_line() return vim.api.nvim_buf_get_lines(bufnr, -2, -1, false)[1] end
  vim.wait(10000, function() return last_line() == 'label@nowhere;' end, 20)
  result.fixed = last_line()

  -- Saved, then compiled by the lens on the first line.
  vim.cmd('write')
  vim.lsp.handlers['window/showMessage'] = function(_, message)
    result.compiled = message.message
  end
  vim.lsp.codelens.refresh()
  vim.wait(10000, function() return #vim.lsp.codelens.get(bufnr) > 0 end, 20)
  wanted = 'Compile'
  vim.api.nvim_win_set_cursor(0, { 1, 0 })
  vim.lsp.codelens.run()
  vim.wait(10000, function() return result.compiled ~= nil end, 20)
end)
if not ok then
  result.error = tostring(err)
end
vim.fn.writefile({ vim.fn.json_encode(result) }, vim.g.zelk_test_result)
vim.cmd('qa!')
