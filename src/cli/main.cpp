// tachometrix-cli: the headless front end.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/cli_options.h"
#include "cli/interrupt_poll.h"

int main(int argc, char** argv) {
  // Before any thread exists: a Ctrl-C at any moment is taken by the CLI's
  // interrupt poll, never by the default action.
  tmx::cli::blockInterrupts();
  std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = tmx::cli::parseCliOptions(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "tachometrix-cli: %s\nTry 'tachometrix-cli --help'.\n", parsed.error.c_str());
    return 2;
  }
  return tmx::cli::runCli(parsed.options);
}
