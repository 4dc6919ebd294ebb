#pragma once
#include "app/data_folder.h"

#include <QString>

class FrmVornisa;

// Start-up as the program runs it: loads the window, or tells the user why it cannot start and
// gives false. The window is then never shown and nothing has been changed.
bool LoadMainWindow(FrmVornisa& window, const QString& programFolder, const DataFolderRule& rule = {});
