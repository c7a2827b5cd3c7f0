// The export settings of the settings record as the one record the worker
// and the exporters read.
#pragma once

#include "base/export_settings.h"
#include "shell/settings.h"

// The one place the record is filled: the window and the command line both
// start from it (and override fields for a run).
ExportSettings ExportSettingsFromSettings(const QorSettings& s);
