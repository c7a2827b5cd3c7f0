// The vantor-cli commands. Each returns the process exit status.
#pragma once

#include "cli/cli_args.h"

int CmdInfo(const CliArgs& args);
int CmdSample(const CliArgs& args);
int CmdExport(const CliArgs& args);
int CmdSettings(const CliArgs& args);
int CmdIwd(const CliArgs& args);
int CmdConvert(const CliArgs& args);
int CmdGui(const CliArgs& args);
int CmdList(const CliArgs& args);
int CmdUpdate(const CliArgs& args);
int CmdAnim(const CliArgs& args);
// `export --anims`: the animations given, or every one of --all ROOT, on --model.
int CmdExportAnims(const CliArgs& args);
