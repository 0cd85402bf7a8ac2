# The libFuzzer targets, one source fuzz/<name>_fuzzer.cpp and one seed folder
# fuzz/corpus/<name> each.
set(WORDLOOM_FUZZERS compact_form decoder encoded_file file_stamp form_reader hunspell_import language_speller
  markup names pipe protected_file spell_file tokenizer)
