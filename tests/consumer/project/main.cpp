// An application using an installed Wordloom.
#include <wordloom/wordloom.h>

#include <cstdio>

int main() {
  wordloom::TByteString b;
  b.SetString("installed");
  b.AppendLongWord(513, 2);
  const bool ok = b.Size() == 11 && b.WithDrawLongWord(1) == 'i';
  std::printf("consumer: %s\n", ok ? "ok" : "wrong result");
  return ok ? 0 : 1;
}
