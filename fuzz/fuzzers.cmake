# The libFuzzer targets, one source fuzz/<name>_fuzzer.cpp and one seed folder
# fuzz/corpus/<name> each.
set(WORDLOOM_FUZZERS decoder form_reader markup pipe protected_file spell_file tokenizer)
