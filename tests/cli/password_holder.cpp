// Opens, changes and saves a protected dictionary as the tool does (the
// password from a file), then waits until its standard input ends, so that
// password_core_test can dump its memory and look for the password.
//   password_holder DICTIONARY PASSWORD_FILE
#include <unistd.h>

#include <iostream>

#include "commands.h"

int main(int argc, char** argv) {
  using namespace wordloom::cli;
  if (argc != 3) return kExitError;
  int status = kExitError;
  {
    TerminalServices services;
    services.SetPasswordFile(argv[2]);
    wordloom::ScopedApplicationServices scope(services);
    try {
      status = RunModify(argv[1], {"holder"}, true, services, std::cerr);
    } catch (const std::exception& e) {
      return ReportError(std::cerr, e.what());
    }
  }
  std::cout << "ready" << std::endl;
  char c = 0;
  while (::read(STDIN_FILENO, &c, 1) > 0) {
  }
  return status;
}
