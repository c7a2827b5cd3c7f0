// The worker's export settings, taken from the settings record.
#pragma once

#include "model/xmodel_threaded.h"
#include "shell/settings.h"

ExportOptions ExportOptionsFromSettings(const QorSettings& s);
