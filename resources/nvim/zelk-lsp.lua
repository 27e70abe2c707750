-- SPDX-License-Identifier: MIT
-- Starts the ZelkScript language server (zelk --lsp) for every buffer of file type zelkscript
-- (*.scr files, see ftdetect/zelkscript.vim) and attaches the buffer to it: diagnostics as you
-- type, completion (omnifunc, CTRL-X CTRL-O), hover (K), go to definition (CTRL-] and
-- vim.lsp.buf.definition), references, the labels as document symbols, and renaming of a label.
--
-- Works with Neovim 0.7 and later. Settings, before this file runs (in init.lua or init.vim):
--   vim.g.zelk_lsp_cmd = { '/path/to/zelk', '--lsp' }   -- another program than the installed one
--   vim.g.zelk_lsp_disable = true                         -- leave .scr buffers alone
if vim.g.loaded_zelk_lsp or vim.fn.has('nvim-0.7') == 0 then
  return
end
vim.g.loaded_zelk_lsp = true

-- The program installed with this file (PREFIX/bin/zelk beside PREFIX/share/nvim/site/plugin/,
-- found from where this file is, so that the installed tree can be moved), or zelk on PATH.
local here = debug.getinfo(1, 'S').source:gsub('^@', '')
local installed = vim.fn.fnamemodify(here, ':p:h:h:h:h:h') .. '/bin/zelk'

local function command()
  if type(vim.g.zelk_lsp_cmd) == 'table' and #vim.g.zelk_lsp_cmd > 0 then
    return vim.g.zelk_lsp_cmd
  end
  if vim.fn.executable(installed) == 1 then
    return { installed, '--lsp' }
  end
  return { 'zelk', '--lsp' }
end

local client_id = nil
local warned = false

local function attach(bufnr)
  if vim.g.zelk_lsp_disable == true or vim.g.zelk_lsp_disable == 1 then
    return
  end
  local cmd = command()
  if vim.fn.executable(cmd[1]) == 0 then
    if not warned then
      warned = true
      vim.notify('zelk: ' .. cmd[1] .. ' cannot be run; ZelkScript buffers have no language server',
        vim.log.levels.WARN)
    end
    return
  end
  local config = {
    name = 'zelk',
    cmd = cmd,
    root_dir = vim.fn.fnamemodify(vim.api.nvim_buf_get_name(bufnr), ':p:h'),
  }
  if vim.lsp.start then
    -- Neovim 0.8 and later: one server per directory, reused by every buffer in it.
    vim.lsp.start(config, { bufnr = bufnr })
  else
    -- Neovim 0.7: one server for the whole session.
    local client = client_id and vim.lsp.get_client_by_id(client_id)
    if not client or client.is_stopped() then
      client_id = vim.lsp.start_client(config)
    end
    if not client_id then
      return
    end
    vim.lsp.buf_attach_client(bufnr, client_id)
  end
  if vim.bo[bufnr].omnifunc == '' then
    vim.bo[bufnr].omnifunc = 'v:lua.vim.lsp.omnifunc'
  end
  if vim.bo[bufnr].tagfunc == '' then
    vim.bo[bufnr].tagfunc = 'v:lua.vim.lsp.tagfunc'
  end
  if vim.fn.has('nvim-0.10') == 0 then
    -- Neovim 0.10 maps K to hover by itself.
    vim.keymap.set('n', 'K', vim.lsp.buf.hover, { buffer = bufnr, desc = 'ZelkScript help' })
  end
end

vim.api.nvim_create_autocmd('FileType', {
  group = vim.api.nvim_create_augroup('zelk_lsp', { clear = true }),
  pattern = 'zelkscript',
  callback = function(args)
    attach(args.buf)
  end,
})
