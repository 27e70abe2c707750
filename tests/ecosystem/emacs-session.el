;;; emacs-session.el --- Emacs with eglot against zelk --lsp  -*- lexical-binding: t -*-

;; SPDX-License-Identifier: MIT
;; Run by EmacsTest.cpp in batch mode, in the buffer of the ZelkScript source that Emacs was
;; started with, after zelk-mode.el: starts eglot as a user does (M-x eglot, which finds the
;; server that zelk-mode registered), waits for the diagnostics (flymake), asks for completion
;; (completion-at-point), hover (eldoc), goes to a definition (xref), renames a label, fixes a
;; line, saves the file, and shuts the server down.  Writes what it saw as JSON to
;; `zelk-test-result' and exits.

(require 'json)
(require 'eglot)

(defvar zelk-test-result)
(defvar zelk-test-answers nil)

(defun zelk-test-note (key value)
  (push (cons key value) zelk-test-answers))

(defun zelk-test-wait (predicate)
  "Wait up to 20 seconds for PREDICATE, letting the server's answers and the timers in.
Batch mode has no command loop: this runs `post-command-hook' and the idle timers (eglot
sends a buffer's changes from one) as the loop does when the user pauses."
  (let ((deadline (+ (float-time) 20)))
    (while (and (not (funcall predicate)) (< (float-time) deadline))
      (run-hooks 'post-command-hook)
      (dolist (timer (copy-sequence timer-idle-list))
        (timer-event-handler timer))
      (accept-process-output nil 0.05))
    (funcall predicate)))

(defvar zelk-test-published 0 "How many times the server has published diagnostics.")
(advice-add 'eglot-handle-notification :after
            (lambda (_server method &rest _)
              (when (eq method 'textDocument/publishDiagnostics)
                (setq zelk-test-published (1+ zelk-test-published)))))

;; Emacs 28's jsonrpc deletes the server's process right after eglot sends `exit'; later ones
;; wait for it. Wait as they do, to see whether the server ends by itself, and how.
(advice-add 'jsonrpc-shutdown :before
            (lambda (connection &rest _)
              (let ((process (jsonrpc--process connection)))
                (zelk-test-wait (lambda () (not (process-live-p process)))))))

(defun zelk-test-diagnostics ()
  (sort (mapcar (lambda (d)
                  (save-excursion
                    (goto-char (flymake-diagnostic-beg d))
                    (vector (line-number-at-pos) (current-column)
                            (symbol-name (flymake-diagnostic-type d))
                            (flymake-diagnostic-text d))))
                (flymake-diagnostics))
        (lambda (a b) (or (< (aref a 0) (aref b 0))
                          (and (= (aref a 0) (aref b 0))
                               (string< (aref a 2) (aref b 2)))))))

(defun zelk-test-goto (line column)
  (goto-char (point-min))
  (forward-line (1- line))
  (move-to-column column))

(condition-case err
    (progn
      (zelk-test-note 'mode (symbol-name major-mode))
      (zelk-test-note 'coding (symbol-name (coding-system-base buffer-file-coding-system)))
      ;; In a window, as a user sees it: flymake and eldoc work for shown buffers.
      (switch-to-buffer (current-buffer))
      (call-interactively #'eglot)
      (let ((server (and (zelk-test-wait #'eglot-current-server) (eglot-current-server))))
        (zelk-test-note 'connected (and server t))
        (zelk-test-note 'language-id (and server (eglot--language-id server)))
        (zelk-test-wait (lambda () (flymake-diagnostics)))
        (zelk-test-note 'diagnostics (zelk-test-diagnostics))

        ;; Completion inside goto( ): the labels.
        (zelk-test-goto 5 5)
        (let ((capf (eglot-completion-at-point)))
          (zelk-test-note 'completion
                          (and capf (vconcat (all-completions "" (nth 2 capf))))))

        ;; Hover on wait, through the functions that eglot gives eldoc.
        (zelk-test-goto 2 1)
        (let (hover)
          (run-hook-wrapped 'eldoc-documentation-functions
                            (lambda (f) (funcall f (lambda (info &rest _)
                                                     (when (stringp info) (setq hover info))))
                              nil))
          (zelk-test-wait (lambda () hover))
          (zelk-test-note 'hover (and hover (substring-no-properties hover))))

        ;; On the label of the goto on line 5, as a user jumps (M-.).
        (zelk-test-goto 5 6)
        (call-interactively #'xref-find-definitions)
        (zelk-test-note 'definition (vector (line-number-at-pos) (current-column)))

        ;; Rename the label where it is defined; type a fix of line 3, whose error goes; save.
        (zelk-test-goto 1 7)
        (eglot-rename "begin")
        (zelk-test-note 'renamed (buffer-substring-no-properties (point-min) (point-max)))
        (zelk-test-goto 3 0)
        (delete-region (point) (line-end-position))
        (insert "die(1);")
        (let ((seen zelk-test-published))
          (zelk-test-wait (lambda () (> zelk-test-published seen))))
        (zelk-test-note 'after-edit (zelk-test-diagnostics))
        (save-buffer)

        (let ((process (jsonrpc--process server)))
          (eglot-shutdown server)
          (zelk-test-note 'shutdown (vector (symbol-name (process-status process))
                                            (process-exit-status process))))))
  (error (zelk-test-note 'error (error-message-string err))))

(with-temp-file zelk-test-result
  (insert (json-encode (reverse zelk-test-answers))))
(kill-emacs 0)
