// tachometrix-cli --ripping-features: the ripping-features check of the
// selected drive's CD, its status lines as they come, its answers as text,
// and with --json the document's "ripping" object.
#pragma once

#include "cli/cli_options.h"
#include "cli/interrupt_poll.h"
#include "program/application.h"

namespace tmx::cli {

// Exit status: 0 done, 1 refused (no CD, DVD or BD, blank), interrupted or a
// file not written.
int runRippingFeatures(const CliOptions& options, Application& app, InterruptPoll& interrupt);

}  // namespace tmx::cli
