;;; wordloom.el --- Spell checking with Wordloom in ispell and flyspell  -*- lexical-binding: t; coding: utf-8 -*-

;; Put this in your init file (the folder this file is installed to,
;; share/emacs/site-lisp, is on Debian's `load-path'):
;;
;;     (require 'wordloom)
;;
;; ispell.el knows how to talk to the spell checkers it was written for.
;; To every other program that speaks the ispell pipe protocol it gives the
;; settings of a classic ispell: Latin-1 text, words of the letters A-Z and
;; the dictionary names of its own table.  Wordloom reads UTF-8, finds words
;; by Unicode letters and has dictionaries of its own names, so this file
;; tells ispell.el so, plainly, instead of having the tool pretend to be
;; another program:
;;
;; - `ispell-program-name' becomes the wordloom tool (`wordloom-program');
;; - each dictionary `wordloom -D' lists, under its name and its aliases
;;   (en_US, en_GB, american, british, english, ...), and the default one,
;;   gets an entry of letters of any script ([[:alpha:]]), apostrophes and
;;   hyphens inside words, and UTF-8 as the coding system;
;; - `wordloom-extra-dictionaries' adds combinations such as "en_US,en_GB".
;;
;; Choose a dictionary as usual: M-x ispell-change-dictionary, or
;; (setq ispell-dictionary "en_GB").  Words saved with "i" go to Wordloom's
;; personal word list of that dictionary.

;;; Code:

(require 'ispell)

(defgroup wordloom nil
  "Spell checking with the Wordloom command-line tool."
  :group 'ispell)

(defcustom wordloom-program (or (executable-find "wordloom") "wordloom")
  "The Wordloom command-line tool that ispell and flyspell run."
  :type 'string)

(defcustom wordloom-extra-dictionaries nil
  "Dictionary names to offer besides those `wordloom -D' lists.
For example \"en_US,en_GB\", which checks with both at once."
  :type '(repeat string))

(defconst wordloom--otherchars (encode-coding-string "['’-]" 'utf-8)
  "Characters inside a word: the two apostrophes and the hyphen.
Stored as UTF-8 bytes, as ispell.el decodes them with the entry's coding system.")

(defun wordloom--entry (name)
  "The `ispell-dictionary-alist' entry of dictionary NAME (nil: the default)."
  (list name "[[:alpha:]]" "[^[:alpha:]]" wordloom--otherchars t
        (and name (list "-d" name)) nil 'utf-8))

(defun wordloom-dictionary-names ()
  "The names and aliases of the dictionaries `wordloom -D' lists."
  (let (names)
    (with-temp-buffer
      (when (eq 0 (ignore-errors
                    (call-process wordloom-program nil '(t nil) nil "-D")))
        (dolist (line (split-string (buffer-string) "\n" t))
          (let ((fields (split-string line "\t")))
            (push (car fields) names)
            (dolist (field (cdr fields))
              (when (string-prefix-p "aliases: " field)
                (setq names (append (split-string (substring field 9) ", " t)
                                    names))))))))
    (delete-dups (nreverse names))))

(defun wordloom-program-p ()
  "Whether `ispell-program-name' is the Wordloom tool."
  (and (stringp ispell-program-name)
       (string-match-p "\\`wordloom\\'"
                       (file-name-nondirectory ispell-program-name))))

(defun wordloom--describe-dictionaries ()
  "Give ispell.el the dictionaries of Wordloom when it is the program.
Run by `ispell-initialize-spellchecker-hook', where the entries of
`ispell-base-dicts-override-alist' take the place of ispell.el's own."
  (when (wordloom-program-p)
    (setq ispell-base-dicts-override-alist
          (append (mapcar #'wordloom--entry
                          (cons nil (append (wordloom-dictionary-names)
                                            wordloom-extra-dictionaries)))
                  ispell-base-dicts-override-alist))))

(add-hook 'ispell-initialize-spellchecker-hook #'wordloom--describe-dictionaries)
(setq ispell-program-name wordloom-program)

(provide 'wordloom)
;;; wordloom.el ends here
