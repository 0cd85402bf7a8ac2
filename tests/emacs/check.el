;;; check.el --- ispell and flyspell over UTF-8 text with wordloom.el  -*- lexical-binding: t; coding: utf-8 -*-
;; Run by tests/emacs/emacs_test.sh:
;;   emacs -Q --batch -l check.el WORDLOOM INTEGRATIONS TEXT EXPECTED NAMES
;; Prints one "ok ..." or "FAIL ..." line per check.

(require 'cl-lib)
(defvar check-args command-line-args-left)
(setq command-line-args-left nil)
(setq wordloom-program (nth 0 check-args))
(add-to-list 'load-path (nth 1 check-args))
(require 'wordloom)
(setq wordloom-extra-dictionaries '("en_US,en_GB"))
(require 'flyspell)

(defun check-report (name got want)
  (princ (format "%s %s: got %S, want %S\n" (if (equal got want) "ok" "FAIL") name got want)))

(defun ispell-word-known-p (word)
  "Whether the running ispell process knows WORD."
  (equal (ispell--run-on-word word) t))

(defun check-flagged ()
  "The words flyspell marks in the buffer, sorted."
  (let (words)
    (dolist (o (overlays-in (point-min) (point-max)))
      (when (overlay-get o 'flyspell-overlay)
        (push (buffer-substring-no-properties (overlay-start o) (overlay-end o)) words)))
    (sort words #'string<)))

(defun check-flyspell (name dictionary large want)
  "flyspell-buffer with DICTIONARY (nil: the default); LARGE: one run of -l."
  (let ((flyspell-large-region (if large 1 100000)))
    (ispell-change-dictionary dictionary)
    (flyspell-mode 1)
    (flyspell-buffer)
    (check-report name (check-flagged) want)
    (flyspell-mode -1)
    (remove-overlays (point-min) (point-max) 'flyspell-overlay t)))

(let ((text (nth 2 check-args))
      (expected (nth 3 check-args))
      (names (nth 4 check-args)))
  (find-file text)
  (check-flyspell "flyspell word by word" nil nil '("mispeled" "sentense"))
  (check-flyspell "flyspell by -l" nil t '("mispeled" "sentense"))
  (set-buffer-modified-p nil)
  ;; ispell-region: each misspelled word is answered from a script; the
  ;; replacements must land on exactly those words.
  (let ((answers '(("sentense" . "sentence") ("mispeled" . "misspelled")))
        (asked nil))
    (cl-letf (((symbol-function 'ispell-command-loop)
               (lambda (_miss _guess word _start _end)
                 (push word asked)
                 (cdr (assoc word answers)))))
      (ispell-region (point-min) (point-max)))
    (check-report "ispell-region asked" (nreverse asked) '("sentense" "mispeled"))
    (save-buffer)
    (check-report "bytes after ispell-region"
                  (with-temp-buffer
                    (set-buffer-multibyte nil)
                    (insert-file-contents-literally text)
                    (buffer-string))
                  (with-temp-buffer
                    (set-buffer-multibyte nil)
                    (insert-file-contents-literally expected)
                    (buffer-string))))
  ;; A word kept with ispell's "i" goes to the personal word list.
  (ispell-send-string "*Wordloomish\n")
  (ispell-pdict-save t t)
  (check-report "personal word known" (ispell-word-known-p "Wordloomish") t)
  ;; Dictionaries by their Emacs names.
  (find-file names)
  (check-flyspell "british" "british" nil '("center" "color"))
  (check-flyspell "american" "american" nil '("centre" "colour"))
  (check-flyspell "en_US,en_GB" "en_US,en_GB" nil nil))
