// An application using an installed Wordloom: a dictionary that learns,
// checks and suggests, and an exception thrown by the library and caught
// here (its type must be the same on both sides of a shared library).
#include <wordloom/wordloom.h>

#include <cstdio>

int main() {
  wordloom::TByteString b;
  b.SetString("installed");
  b.AppendLongWord(513, 2);
  bool ok = b.Size() == 11 && b.WithDrawLongWord(1) == 'i';

  wordloom::TVelkSpellChecker checker(nullptr);
  checker.InitFirstSpellNode();
  checker.AddToSpell("receive");
  checker.Suggest("recieve");
  ok = ok && checker.Frequency("receive") == 1 && checker.Suggestions().Count() > 0 &&
       checker.Suggestions()[0] == "receive";

  bool caught = false;
  try {
    wordloom::TFileStream missing("/nonexistent/wordloom-consumer", wordloom::fmOpenRead);
  } catch (const wordloom::EFOpenError&) {
    caught = true;
  }
  ok = ok && caught;
  std::printf("consumer: %s\n", ok ? "ok" : "wrong result");
  return ok ? 0 : 1;
}
