;;; 50zelk.el --- ZelkScript sources (.scr) in Emacs  -*- lexical-binding: t -*-

;; zelk-mode for .scr files, read and saved as Windows-1252; the mode registers zelk --lsp with
;; eglot.
(if (not (locate-library "zelk-mode"))
    (message "Package zelk removed but not purged.  Skipping setup.")
  (autoload 'zelk-mode "zelk-mode" "Major mode for ZelkScript scene scripts (.scr)." t)
  (add-to-list 'auto-mode-alist '("\\.scr\\'" . zelk-mode))
  (modify-coding-system-alist 'file "\\.scr\\'" 'windows-1252))
